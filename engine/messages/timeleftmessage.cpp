#include "engine/messages/timeleftmessage.h"

#include "engine/messages/durationwords.h"

namespace kestrune {

QString DescribeTimeLeft(std::optional<std::int64_t> milliseconds, bool narrow)
{
    if (!milliseconds)
        return {};
    const QString about = narrow ? QStringLiteral("约 ") : QStringLiteral("剩余约 ");
    const std::int64_t seconds = (*milliseconds + 999) / 1000;
    return about + DurationWords(seconds, DurationDetail::MinutesPastAnHour);
}

} // namespace kestrune
