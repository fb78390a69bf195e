#include "startup/shellquote.h"

#include <QProcess>
#include <QTest>

using namespace kestrune;

class TestShellQuote : public QObject
{
    Q_OBJECT

private slots:
    void posixQuoting_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << QStringList{"kestrune-cli", "--from", "21", "--host", "h:1"};
        QTest::newRow("blanks and quotes")
            << QStringList{"a b", "it's", "\"q\"", "", "  ", "tab\there"};
        QTest::newRow("shell syntax") << QStringList{"$HOME", "`id`", "a;b", "a|b", "*", "~", "!x"};
        QTest::newRow("chinese and newline") << QStringList{"河南 大学", "line\nbreak", "'"};
    }
    void posixQuoting()
    {
        QFETCH(QStringList, words);
#ifdef Q_OS_WIN
        QSKIP("no POSIX shell");
#endif
        QProcess shell;
        // printf repeats its format for every word the shell hands it.
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("printf '%s\\0' ") + QuoteCommandLine(words, Shell::Posix)});
        QVERIFY(shell.waitForFinished());
        QCOMPARE(shell.exitCode(), 0);
        QStringList seen = QString::fromUtf8(shell.readAllStandardOutput()).split(QChar(0));
        seen.removeLast();
        QCOMPARE(seen, words);
    }

    void windowsQuoting_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("quoted");
        const auto row = [](const char *name, const char *word, const char *quoted) {
            QTest::newRow(name) << QString::fromUtf8(word) << QString::fromUtf8(quoted);
        };
        row("plain", "C:\\Kestrune\\kestrune-cli.exe", "C:\\Kestrune\\kestrune-cli.exe");
        row("space", "C:\\Program Files\\k.exe", "\"C:\\Program Files\\k.exe\"");
        row("empty", "", "\"\"");
        row("quote", "a\"b", "\"a\\\"b\"");
        row("backslashes before a quote", "a\\\\\"b", "\"a\\\\\\\\\\\"b\"");
        row("trailing backslash", "C:\\my dir\\", "\"C:\\my dir\\\\\"");
        row("chinese", "河南", "\"河南\"");
    }
    void windowsQuoting()
    {
        QFETCH(QString, word);
        QFETCH(QString, quoted);
        QCOMPARE(QuoteCommandLine({word}, Shell::Windows), quoted);
    }
};

QTEST_GUILESS_MAIN(TestShellQuote)
#include "tst_shellquote.moc"
