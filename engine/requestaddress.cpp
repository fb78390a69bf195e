#include "requestaddress.h"

#include "cp936.h"
#include "runtimeerror.h"

namespace kestrune {

QByteArray EncodeForumName(const QString &forumName)
{
    QByteArray bytes;
    if (!EncodeCp936(forumName, bytes))
        throw RuntimeError(ErrorKind::InvalidArgument, "论坛名称中有 GBK 无法表示的字符");
    QByteArray wire;
    wire.reserve(bytes.size() * 3);
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : std::as_const(bytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F) {
            wire += c;
        } else {
            wire += '%';
            wire += hex[byte >> 4];
            wire += hex[byte & 0xF];
        }
    }
    return wire;
}

QUrl BuildRequestAddress(const QString &host, const QString &forumName, qint64 page)
{
    const QByteArray address =
        QByteArrayLiteral("http://") + host.toUtf8() + QByteArrayLiteral("/f/like/furank?kw=") +
        EncodeForumName(forumName) + QByteArrayLiteral("&pn=") + QByteArray::number(page);
    // Strict, so the percent-encoded bytes stay exactly as built.
    QUrl url = QUrl::fromEncoded(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        throw RuntimeError(ErrorKind::InvalidArgument, "请求地址无效：" + address.toStdString());
    return url;
}

} // namespace kestrune
