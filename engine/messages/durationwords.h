#pragma once

#include <QString>
#include <cstdint>

namespace kestrune {

// How long, in whole seconds, as every message says it: "5 秒", "2 分 5 秒",
// "1 小时 0 分 5 秒"; an estimate leaves out the seconds past an hour
// ("1 小时 2 分").
enum class DurationDetail
{
    Seconds,
    MinutesPastAnHour,
};
QString DurationWords(std::int64_t seconds, DurationDetail detail = DurationDetail::Seconds);

} // namespace kestrune
