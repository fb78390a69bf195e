#include "engine/messages/durationwords.h"

namespace kestrune {

QString DurationWords(std::int64_t seconds, DurationDetail detail)
{
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    if (detail == DurationDetail::MinutesPastAnHour)
        return QStringLiteral("%1 小时 %2 分").arg(seconds / 3600).arg(seconds / 60 % 60);
    return QStringLiteral("%1 小时 %2 分 %3 秒")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60)
        .arg(seconds % 60);
}

} // namespace kestrune
