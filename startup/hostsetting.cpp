#include "startup/hostsetting.h"

#include "platform/halfwidth.h"

#include <QUrl>
#include <algorithm>

namespace kestrune {

namespace {

HostCheck Refuse(const QString &text, HostProblem problem)
{
    return {{}, HostError{problem, text}};
}

// QUrl refuses a bad port as it does a bad name; the port is read alone so
// that the two can be told apart.
std::optional<HostProblem> PortProblem(QStringView full)
{
    const QStringView rest = full.mid(full.indexOf(u"://") + 3);
    const auto end = std::find_if(rest.begin(), rest.end(),
                                  [](QChar c) { return c == u'/' || c == u'?' || c == u'#'; });
    const QStringView authority = rest.first(end - rest.begin());
    const qsizetype colon = authority.lastIndexOf(u':');
    if (colon < 0 || colon < authority.lastIndexOf(u']'))
        return std::nullopt;
    const QStringView port = authority.mid(colon + 1);
    if (port.isEmpty())
        return std::nullopt;
    if (!std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); }))
        return HostProblem::BadPort;
    // Digits beyond what toUInt reads are out of range too.
    bool number = false;
    const uint value = port.toUInt(&number);
    return number && value >= 1 && value <= 65535 ? std::nullopt
                                                  : std::optional(HostProblem::PortOutOfRange);
}

} // namespace

HostCheck CheckHost(const QString &text)
{
    // A Chinese input method types the colon and the port's digits full-width.
    const QString trimmed = QString::fromStdString(HalfWidth(text.toStdString())).trimmed();
    if (trimmed.isEmpty())
        return Refuse(text, HostProblem::Empty);
    const qsizetype schemeEnd = trimmed.indexOf(QLatin1String("://"));
    const QString scheme = schemeEnd < 0 ? QString() : trimmed.left(schemeEnd).toLower();
    if (schemeEnd >= 0 && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return Refuse(text, HostProblem::BadScheme);

    const QString full = schemeEnd < 0 ? QStringLiteral("http://") + trimmed : trimmed;
    const QUrl url(full, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return Refuse(text, PortProblem(full).value_or(HostProblem::NotAHost));
    // QUrl takes port 0, which no server listens on.
    if (const std::optional<HostProblem> problem = PortProblem(full))
        return Refuse(text, *problem);
    if (!url.userInfo().isEmpty())
        return Refuse(text, HostProblem::UserInfo);
    if ((!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() ||
        url.hasFragment())
        return Refuse(text, HostProblem::PathAfterHost);
    // The authority keeps an IPv6 host's brackets and gives a name in its
    // ASCII form, as it goes on the wire.
    const QString authority = url.authority(QUrl::FullyEncoded);
    return {schemeEnd < 0 ? authority : scheme + QStringLiteral("://") + authority, {}};
}

QString ShownHost(const QString &host)
{
    const qsizetype schemeEnd = host.indexOf(QLatin1String("://"));
    const QUrl url(schemeEnd < 0 ? QStringLiteral("http://") + host : host);
    if (!url.isValid() || url.host().isEmpty())
        return host;
    QString name = url.host(QUrl::FullyEncoded);
    // Whatever the top-level domain: Qt decodes only some by default.
    name = name.contains(QLatin1Char(':'))
               ? QLatin1Char('[') + name + QLatin1Char(']')
               : QUrl::fromAce(name.toLatin1(), QUrl::IgnoreIDNWhitelist);
    const int implied = url.scheme() == QLatin1String("https") ? 443 : 80;
    const int port = url.port(implied);
    return (schemeEnd < 0 ? QString() : url.scheme() + QStringLiteral("://")) + name +
           (port == implied ? QString() : QLatin1Char(':') + QString::number(port));
}

} // namespace kestrune
