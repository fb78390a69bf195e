#include "engine/fetch/requestaddress.h"

#include "platform/cp936.h"
#include "platform/runtimeerror.h"

#include <QUrl>
#include <string_view>

namespace kestrune {

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A name typed already percent-encoded keeps its encoding.
bool StartsPercentEscape(const QByteArray &bytes, qsizetype at)
{
    return at + 2 < bytes.size() && IsHexDigit(bytes[at + 1]) && IsHexDigit(bytes[at + 2]);
}

bool GoesAsTyped(const QByteArray &bytes, qsizetype at)
{
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte <= 0x20 || byte >= 0x7F)
        return false;
    if (byte == '%')
        return StartsPercentEscape(bytes, at);
    return std::string_view(R"(#<>"{}|\^`)").find(static_cast<char>(byte)) ==
           std::string_view::npos;
}

QByteArray BaseAddress(const QString &host)
{
    const QByteArray bytes = host.trimmed().toUtf8();
    const QByteArray lower = bytes.toLower();
    QByteArray base = lower.startsWith("http://") || lower.startsWith("https://")
                          ? bytes
                          : QByteArrayLiteral("http://") + bytes;
    while (base.endsWith('/'))
        base.chop(1);
    return base;
}

// Host as a person writes it, and the port unless it is the scheme's own.
QString TypedHostAndPort(const QUrl &url)
{
    const QString host =
        QUrl::fromAce(url.host(QUrl::FullyEncoded).toLatin1(), QUrl::IgnoreIDNWhitelist);
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    const int port = url.port(defaultPort);
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return port == defaultPort ? shown : shown + QLatin1Char(':') + QString::number(port);
}

} // namespace

Expected<QByteArray> EncodeForumName(const QString &forumName)
{
    QByteArray bytes;
    if (!EncodeCp936(forumName, bytes))
        return RuntimeError(ErrorKind::InvalidArgument, "论坛名称中有 GBK 无法表示的字符");
    QByteArray wire;
    wire.reserve(bytes.size() * 3);
    static constexpr char hex[] = "0123456789ABCDEF";
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (GoesAsTyped(bytes, at)) {
            wire += static_cast<char>(byte);
        } else {
            wire += '%';
            wire += hex[byte >> 4];
            wire += hex[byte & 0xF];
        }
    }
    return wire;
}

Expected<QByteArray> BuildRequestAddress(const QString &host, const QString &forumName, qint64 page)
{
    const Expected<QByteArray> name = EncodeForumName(forumName);
    if (!name)
        return name.Error();
    QByteArray address = BaseAddress(host) + QByteArrayLiteral("/f/like/furank?kw=") + *name +
                         QByteArrayLiteral("&pn=") + QByteArray::number(page);
    // Strict, so a host with a path, a space or stray bytes is refused here
    // rather than fetched somewhere unexpected.
    const QUrl url = QUrl::fromEncoded(address, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || url.path() != QLatin1String("/f/like/furank") ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return RuntimeError(ErrorKind::InvalidArgument, "请求地址无效：" + address.toStdString());
    return address;
}

QString DisplayAddress(const QByteArray &address)
{
    const QUrl url = QUrl::fromEncoded(address);
    if (!url.isValid() || url.host().isEmpty())
        return QString::fromLatin1(address);
    // The path and query stay encoded: the forum name's bytes are GBK.
    return url.scheme() + QStringLiteral("://") + TypedHostAndPort(url) +
           url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded);
}

QString DisplayForumAddress(const QString &host)
{
    const QUrl url(QString::fromUtf8(BaseAddress(host)));
    if (!url.isValid() || url.host().isEmpty())
        return host.trimmed();
    const QString hostAndPort = TypedHostAndPort(url);
    return url.scheme() == QLatin1String("https") ? QStringLiteral("https://") + hostAndPort
                                                  : hostAndPort;
}

} // namespace kestrune
