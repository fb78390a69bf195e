#pragma once

#include "engine/commit/runreport.h"

#include <QString>
#include <cstdint>

namespace kestrune {

// 第 5 页, or 第 5—7 页.
QString DescribePages(std::int64_t first, std::int64_t last);

// "导出完成！", told when every page of a run is in the file.
QString CompletionMessage();

// What follows CompletionMessage(): the pages and names written and the time taken,
// then only what there is to tell: empty pages at the end, short pages,
// retries, names written twice (the first `namesListed` of them), what the
// table holds. Lines separated by '\n'.
QString DescribeRunReport(const RunReport &report, std::size_t namesListed = RunReport::MaxListed);

// Every name written more than once, for a message's detail; empty for none.
QString DescribeRepeatedNames(const RunReport &report);

} // namespace kestrune
