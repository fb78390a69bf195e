#include "engine/messages/detailwords.h"

#include "engine/fetch/pagefetcher.h"
#include "engine/fetch/requestaddress.h"
#include "engine/write/exportfiles.h"

namespace kestrune {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What went wrong as the protocol names it, for the detail.
QString LowerLayerWords(const FetchFailure &failure)
{
    using Kind = FetchFailure::Kind;
    switch (failure.kind) {
    case Kind::TimedOut:
        return QStringLiteral("%1 秒").arg(failure.detail);
    case Kind::UnaskedEncoding:
        return QStringLiteral("Content-Encoding: ") + failure.detail;
    case Kind::InsecureRedirect:
        return QStringLiteral("Location: ") + failure.detail;
    case Kind::HeadersTooLarge:
        return QStringLiteral("headers over %1 KiB").arg(PageFetcher::MaxHeaderKiB);
    case Kind::HeaderLineTooLong:
        return QStringLiteral("header line too long");
    case Kind::CorruptCompression:
        return QStringLiteral("corrupt compressed data");
    case Kind::TrailingBytes:
        return QStringLiteral("bytes after the compressed data");
    case Kind::UnfinishedCompression:
        return QStringLiteral("compressed data cut short");
    case Kind::BodyTooLarge:
        return QStringLiteral("body over %1 MiB").arg(PageFetcher::MaxBodyMiB);
    case Kind::TooManyRedirects:
        return QStringLiteral("over %1 redirects").arg(PageFetcher::MaxRedirects);
    default:
        return failure.detail;
    }
}

} // namespace

QString DescribeError(const RuntimeError &error)
{
    QString detail = FromUtf8(error.Detail());
    if (const auto offset = error.ByteOffset()) {
        const QString where =
            QStringLiteral("%1 第 %2 字节").arg(QLatin1String(PageFileName)).arg(*offset);
        detail = detail.isEmpty() ? where : detail + QStringLiteral("，") + where;
    }
    const QString name = FromUtf8(ErrorName(error.Kind()));
    return detail.isEmpty() ? name : name + QStringLiteral("（%1）").arg(detail);
}

QString DescribeFetchFailure(const FetchFailure &failure)
{
    QString first;
    const bool empty = failure.kind == FetchFailure::Kind::EmptyAnswer;
    if (failure.kind == FetchFailure::Kind::HttpStatus || empty) {
        first = QStringLiteral("HTTP %1 %2")
                    .arg(failure.status)
                    .arg(QString::fromLatin1(failure.reason))
                    .trimmed();
        if (empty)
            first += QStringLiteral("（0 字节）");
    } else {
        const bool timedOut = failure.kind == FetchFailure::Kind::TimedOut;
        const QString words = LowerLayerWords(failure);
        first = DescribeError(RuntimeError(timedOut ? ErrorKind::Timeout : ErrorKind::NetworkError,
                                           words.toStdString()));
    }
    if (failure.address.isEmpty())
        return first;
    return first + QStringLiteral("\n地址：") + DisplayAddress(failure.address);
}

} // namespace kestrune
