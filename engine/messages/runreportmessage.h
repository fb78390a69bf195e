#pragma once

#include "engine/run/runreport.h"

#include <QString>
#include <cstdint>

namespace kestrune {

// 第 5 页, or 第 5—7 页.
QString DescribePages(std::int64_t first, std::int64_t last);

// "导出完成！", told when every page of a run is in the file.
QString CompletionMessage();

// What follows CompletionMessage(): the pages and names written and the time taken,
// then only what there is to tell: empty pages at the end, short pages,
// retries, names written twice. Lines separated by '\n'.
QString DescribeRunReport(const RunReport &report);

} // namespace kestrune
