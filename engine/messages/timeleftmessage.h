#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// "剩余约 2 分 5 秒", in whole seconds rounded up; empty for no estimate.
// `narrow`: "约 2 分 5 秒", for the window's 96 px progress bar.
QString DescribeTimeLeft(std::optional<std::int64_t> milliseconds, bool narrow = false);

} // namespace kestrune
