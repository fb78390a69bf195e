#include "engine/fetch/retrywait.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <algorithm>

namespace kestrune {

bool IsRetryable(const FetchFailure &failure)
{
    if (failure.kind != FetchFailure::Kind::HttpStatus)
        return IsTransient(failure.kind);
    const int status = failure.status;
    return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 ||
           status == 504;
}

std::int64_t RetryWaitMilliseconds(int tries, std::int64_t pauseMs, const QByteArray &retryAfter,
                                   std::int64_t nowWallMs)
{
    const QByteArray value = retryAfter.trimmed();
    bool isNumber = false;
    const qint64 seconds = value.toLongLong(&isNumber);
    if (isNumber && seconds >= 0)
        return std::min<std::int64_t>(seconds, MaxRetryAfterMs / 1000) * 1000;
    // The one date form servers must send: "Sun, 06 Nov 1994 08:49:37 GMT".
    QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(value),
                                             QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (date.isValid()) {
        date.setTimeZone(QTimeZone::utc());
        return std::clamp<std::int64_t>(date.toMSecsSinceEpoch() - nowWallMs, 0, MaxRetryAfterMs);
    }
    const std::int64_t unit = std::max<std::int64_t>(1000, pauseMs);
    return unit << std::clamp(tries - 1, 0, MaxRetries);
}

} // namespace kestrune
