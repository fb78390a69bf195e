#include "startup/startupmessages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace kestrune;

namespace {

using enum StartupError::Kind;
using Reason = SettingsWriteError::Reason;

const SettingMenu Menu{"论坛地址…", "CA 证书文件…", "重试次数…", "超时…"};
const QString File = QStringLiteral("/s/k.conf");

// The lower layers' words kept out: English only in options, paths, example
// addresses and what the user typed.
bool HasEnglishOfItsOwn(const QString &text)
{
    static const QRegularExpression allowed(
        QStringLiteral(R"(“[^”]*”|--[a-z-]+|\S*[./:\\]\S*|\w+=|CA 证书|kestrune-cli)"));
    return QString(text).remove(allowed).contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

} // namespace

class TestStartupMessages : public QObject
{
    Q_OBJECT

private slots:
    // Each problem, given or (`inFile`) stored, on both front ends: what happened,
    // alike on both, then what to do there, with `option` or the menu's `item`.
    void everyProblem_data()
    {
        QTest::addColumn<StartupError>("error");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("item"); // none: the window says `option` too
        const auto row = [](const char *name, StartupError::Kind kind, bool inFile,
                            const char *option, const QString &item = {}, Reason reason = {}) {
            QTest::newRow(name) << StartupError{.kind = kind,
                                                .value = "/s/ca.pem",
                                                .settingsFile = inFile ? File : QString(),
                                                .notSaved = reason}
                                << QString::fromUtf8(option) << item;
        };
        row("host", BadHost, false, "--host", Menu.host);
        row("stored host", BadStoredHost, true, "--host", Menu.host);
        row("CA file", UnreadableCaFile, false, "--ca-file", Menu.caFile);
        row("stored CA file", UnreadableStoredCaFile, true, "--ca-file", Menu.caFile);
        row("no certificate", CaFileWithoutCertificate, false, "--ca-file", Menu.caFile);
        row("stored, no certificate", CaFileWithoutCertificate, true, "--remember", Menu.caFile);
        row("remember alone", RememberAlone, false, "--remember", Menu.host);
        row("not saved", NotSaved, true, "");
        row("not saved, bad format", NotSaved, true, "", {}, Reason::BadFormat);
        row("retries", BadRetries, false, "--retries");
        row("stored retries", BadStoredRetries, true, "--retries", Menu.retries);
        row("timeout", BadTimeout, false, "--timeout");
        row("stored timeout", BadStoredTimeout, true, "--timeout", Menu.timeout);
        row("first number", BadFirstNumber, false, "--number-from");
    }
    void everyProblem()
    {
        QFETCH(StartupError, error);
        QFETCH(QString, option);
        QFETCH(QString, item);
        const UserMessage onCommandLine = DescribeStartupError(error);
        const UserMessage inWindow = DescribeStartupError(error, "xn--kfsr23j.example:80", Menu);
        for (const UserMessage &message : {onCommandLine, inWindow}) {
            QCOMPARE(message.text.count(u'\n'), 1);
            QCOMPARE(message.text.section(u'\n', 0, 0), onCommandLine.text.section(u'\n', 0, 0));
            QVERIFY2(!HasEnglishOfItsOwn(message.text), qPrintable(message.text));
        }
        // The host the window uses meanwhile, as a user reads it.
        QVERIFY2(!inWindow.text.contains(u"xn--"), qPrintable(inWindow.text));
        QVERIFY2(onCommandLine.text.section(u'\n', 1).contains(option),
                 qPrintable(onCommandLine.text));
        QVERIFY2(inWindow.text.section(u'\n', 1).contains(item.isEmpty() ? option : "“" + item),
                 qPrintable(inWindow.text));
        // A problem with the settings file names it, as the system writes paths.
        QCOMPARE(
            (onCommandLine.text + onCommandLine.detail).contains(QDir::toNativeSeparators(File)),
            !error.settingsFile.isEmpty());
    }

    // Only what was saved is listed, the host as a user reads it; an emptied
    // host is the default again.
    void saved()
    {
        const QString ca = QDir::toNativeSeparators("/s/ca.pem");
        const ForumSettings saved{
            .host = "xn--kfsr23j.example", .caFile = "/s/ca.pem", .retries = "2"};
        const QString some = DescribeSaved({File, saved}).text;
        const QString reset = DescribeSaved({File, {.host = "", .caFile = ""}}).text;
        QVERIFY2(some.contains("论坛地址 论坛.example，CA 证书文件 " + ca + "，重试次数 2。"),
                 qPrintable(some));
        QVERIFY2(reset.contains("默认的 " KESTRUNE_DEFAULT_FORUM_HOST "，"), qPrintable(reset));
        QVERIFY(!HasEnglishOfItsOwn(some) && !HasEnglishOfItsOwn(reset));
    }
};

QTEST_GUILESS_MAIN(TestStartupMessages)
#include "tst_startupmessages.moc"
