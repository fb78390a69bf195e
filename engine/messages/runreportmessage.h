#pragma once

#include "engine/run/runreport.h"

#include <QString>
#include <cstdint>

namespace kestrune {

// 第 5 页, or 第 5—7 页.
QString DescribePages(std::int64_t first, std::int64_t last);

// What follows "导出完成！": the pages and names written and the time taken,
// then only what there is to tell: empty pages at the end, short pages,
// retries, names written twice. Lines separated by '\n'.
QString DescribeRunReport(const RunReport &report);

} // namespace kestrune
