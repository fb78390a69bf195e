#include "tools/sampleforum/sampleforum.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <optional>
#include <utility>

namespace {

// "N:VALUE" with both parts decimal.
std::optional<std::pair<qint64, int>> PageRule(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    bool pageOk = false;
    bool valueOk = false;
    const qint64 page = parts[0].toLongLong(&pageOk);
    const int value = parts[1].toInt(&valueOk);
    if (!pageOk || !valueOk)
        return std::nullopt;
    return std::pair{page, value};
}

int Fail(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrune-sample-forum"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves sample forum ranking pages."));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0 = any free port)."),
        QStringLiteral("P"), QString::number(kestrune::SampleForum::DefaultPort));
    const QCommandLineOption membersOption(QStringLiteral("members"),
                                           QStringLiteral("Member count of every forum."),
                                           QStringLiteral("N"));
    const QCommandLineOption stallOption(QStringLiteral("stall-page"),
                                         QStringLiteral("Never answer page N (repeatable)."),
                                         QStringLiteral("N"));
    const QCommandLineOption statusOption(
        QStringLiteral("status-page"),
        QStringLiteral("Answer page N with HTTP status CODE (repeatable)."),
        QStringLiteral("N:CODE"));
    const QCommandLineOption slowOption(QStringLiteral("slow-page"),
                                        QStringLiteral("Answer page N after MS ms (repeatable)."),
                                        QStringLiteral("N:MS"));
    const QCommandLineOption repeatOption(
        QStringLiteral("repeat-names"),
        QStringLiteral("Let members share names, as if the ranking shifted mid-export."));
    const QCommandLineOption dayOption(
        QStringLiteral("day"),
        QStringLiteral("Day N of the ranking (0-%1, default 0): from day 1 members trade places "
                       "with neighbours less than %2 ranks away and a few gain a level a day.")
            .arg(kestrune::MemberRoster::MaxDay)
            .arg(kestrune::MemberRoster::ShuffleSpan),
        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions({portOption, membersOption, stallOption, statusOption, slowOption,
                       repeatOption, dayOption});
    parser.process(app);

    kestrune::SampleForum forum;
    forum.SetRepeatNames(parser.isSet(repeatOption));

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535)
        return Fail(QStringLiteral("invalid --port: ") + parser.value(portOption));
    const int day = parser.value(dayOption).toInt(&ok);
    if (!ok || day < 0 || day > kestrune::MemberRoster::MaxDay)
        return Fail(QStringLiteral("invalid --day: ") + parser.value(dayOption));
    forum.SetDay(day);
    if (parser.isSet(membersOption)) {
        const qint64 members = parser.value(membersOption).toLongLong(&ok);
        if (!ok || members < 0)
            return Fail(QStringLiteral("invalid --members: ") + parser.value(membersOption));
        forum.SetMemberCountOverride(members);
    }
    for (const QString &value : parser.values(stallOption)) {
        const qint64 page = value.toLongLong(&ok);
        if (!ok)
            return Fail(QStringLiteral("invalid --stall-page: ") + value);
        forum.SetStallPage(page);
    }
    for (const QString &value : parser.values(statusOption)) {
        const auto rule = PageRule(value);
        if (!rule || rule->second < 100 || rule->second > 599)
            return Fail(QStringLiteral("invalid --status-page: ") + value);
        forum.SetStatusPage(rule->first, rule->second);
    }
    for (const QString &value : parser.values(slowOption)) {
        const auto rule = PageRule(value);
        if (!rule || rule->second < 0)
            return Fail(QStringLiteral("invalid --slow-page: ") + value);
        forum.SetSlowPage(rule->first, rule->second);
    }

    if (!forum.Listen(static_cast<quint16>(port))) {
        QTextStream(stderr) << "cannot listen on 127.0.0.1:" << port << ": " << forum.ErrorString()
                            << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "listening on 127.0.0.1:" << forum.ServerPort() << Qt::endl;
    return QCoreApplication::exec();
}
