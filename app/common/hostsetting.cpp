#include "app/common/hostsetting.h"

#include <QUrl>

namespace kestrune {

namespace {

HostCheck Refuse(const QString &text, const QString &why)
{
    return {{}, QStringLiteral("论坛地址“%1”无效：%2。").arg(text, why)};
}

} // namespace

HostCheck CheckHost(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Refuse(text, QStringLiteral("地址是空的"));
    const qsizetype schemeEnd = trimmed.indexOf(QLatin1String("://"));
    const QString scheme = schemeEnd < 0 ? QString() : trimmed.left(schemeEnd).toLower();
    if (schemeEnd >= 0 && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return Refuse(text, QStringLiteral("只能用 http:// 或 https://"));

    const QString full = schemeEnd < 0 ? QStringLiteral("http://") + trimmed : trimmed;
    const QUrl url(full, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return Refuse(text, QStringLiteral("应为 主机[:端口] 或 https://主机[:端口]"));
    if (!url.userInfo().isEmpty())
        return Refuse(text, QStringLiteral("不能带用户名或密码"));
    if ((!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() ||
        url.hasFragment())
        return Refuse(text, QStringLiteral("只写主机和端口，不带路径"));
    // The authority keeps an IPv6 host's brackets and gives a name in its
    // ASCII form, as it goes on the wire.
    const QString authority = url.authority(QUrl::FullyEncoded);
    return {schemeEnd < 0 ? authority : scheme + QStringLiteral("://") + authority, {}};
}

} // namespace kestrune
