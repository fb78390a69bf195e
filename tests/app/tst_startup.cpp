#include "app/common/hostsetting.h"
#include "app/common/settingsstore.h"
#include "app/common/shellquote.h"
#include "app/common/startup.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

namespace {

const QString DefaultHost = QStringLiteral(KESTRUNE_DEFAULT_FORUM_HOST);

StartupResult Resolve(const QStringList &arguments, const SettingsStore &store)
{
    QCommandLineParser parser;
    const ConnectionOptions options;
    options.AddTo(parser, QStringLiteral("summary"));
    if (!parser.parse(QStringList{QStringLiteral("kestrune")} + arguments))
        return {{}, parser.errorText(), {}};
    return options.Resolve(parser, store);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void checkHost_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // empty: refused
        const auto row = [](const char *name, const char *text, const char *host) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(host);
        };
        row("name", "forum.example.org", "forum.example.org");
        row("name and port", "forum.example.org:8080", "forum.example.org:8080");
        row("blanks around", "  127.0.0.1:8936 ", "127.0.0.1:8936");
        row("https", "https://forum.example.org", "https://forum.example.org");
        row("capitals, trailing slash", "HTTPS://Forum.Example.ORG/", "https://forum.example.org");
        row("http with port", "http://127.0.0.1:8936", "http://127.0.0.1:8936");
        row("ipv6", "[::1]:8936", "[::1]:8936");
        row("international name", "论坛.example", "xn--kfsr23j.example");
        row("empty", "", "");
        row("other scheme", "ftp://forum.example.org", "");
        row("scheme only", "https://", "");
        row("space inside", "forum example.org", "");
        row("port too big", "forum.example.org:65536", "");
        row("port not a number", "forum.example.org:80a", "");
        row("user", "https://me@forum.example.org", "");
        row("path", "forum.example.org/f/like", "");
        row("query", "https://forum.example.org/?kw=Henu", "");
    }
    void checkHost()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        const HostCheck check = CheckHost(text);
        QCOMPARE(check.host, host);
        if (host.isEmpty())
            QVERIFY2(check.error.contains(text.trimmed()), qPrintable(check.error));
        else
            QCOMPARE(check.error, QString());
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("storedHost");
        QTest::addColumn<bool>("storedCaFile");
        QTest::addColumn<QStringList>("arguments"); // run in the test CA file's folder
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("usesCaFile");
        QTest::addColumn<QString>("error");  // a part of it; empty: none
        QTest::addColumn<QString>("notice"); // a part of it; empty: none
        QTest::addColumn<QString>("hostAfter");
        QTest::addColumn<bool>("caFileAfter");

        // Columns as above; a row's arguments come as one string split at spaces.
        const auto row = [](const char *name, const QString &storedHost, bool storedCaFile,
                            const char *arguments, const QString &host, bool usesCaFile,
                            const char *error, const char *notice, const QString &hostAfter,
                            bool caFileAfter) {
            QStringList words = QString::fromUtf8(arguments).split(u' ', Qt::SkipEmptyParts);
            std::replace(words.begin(), words.end(), QStringLiteral("\"\""), QString());
            QTest::newRow(name) << storedHost << storedCaFile << words << host << usesCaFile
                                << QString::fromUtf8(error) << QString::fromUtf8(notice)
                                << hostAfter << caFileAfter;
        };
        const QString stored = QStringLiteral("stored.example.org:81");
        const QString x = QStringLiteral("x.example.org:82");
        const QString bad = QStringLiteral("a b");
        row("nothing stored", {}, false, "", DefaultHost, false, "", "", {}, false);
        row("stored", stored, true, "", stored, true, "", "", stored, true);
        row("one run", stored, false, "--host https://x.example.org",
            QStringLiteral("https://x.example.org"), false, "", "", stored, false);
        row("remember host", {}, false, "--host X.example.org:82 --remember", x, false, "",
            "论坛地址 x.example.org:82", x, false);
        row("remember CA file", stored, false, "--ca-file proxy-ca.pem --remember", stored, true,
            "", "CA 证书文件", stored, true);
        row("forget both", stored, true, "--host \"\" --ca-file \"\" --remember", DefaultHost,
            false, "", "恢复为默认", {}, false);
        row("remember alone", stored, false, "--remember", stored, false, "--remember", "", stored,
            false);
        row("bad host on the command line", stored, false, "--host ftp://x --remember", stored,
            false, "ftp://x", "", stored, false);
        row("bad stored host", bad, false, "", DefaultHost, false, "kestrune.conf", "", bad, false);
        row("bad stored host overridden", bad, false, "--host y.example.org",
            QStringLiteral("y.example.org"), false, "", "", bad, false);
        row("missing CA file", {}, false, "--ca-file no-such.pem --remember", DefaultHost, false,
            "no-such.pem", "", {}, false);
    }
    void resolve()
    {
        QFETCH(QString, storedHost);
        QFETCH(bool, storedCaFile);
        QFETCH(QStringList, arguments);
        QFETCH(QString, host);
        QFETCH(bool, usesCaFile);
        QFETCH(QString, error);
        QFETCH(QString, notice);
        QFETCH(QString, hostAfter);
        QFETCH(bool, caFileAfter);

        QTemporaryDir dir;
        const QString caFile = dir.filePath(QStringLiteral("proxy-ca.pem"));
        QFile pem(caFile);
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.close();
        const SettingsStore store(dir.filePath(QStringLiteral("kestrune.conf")));
        if (!storedHost.isEmpty() || storedCaFile)
            QCOMPARE(store.Write(storedHost, storedCaFile ? caFile : QString()), QString());

        // A CA file named relative to here is stored for runs from anywhere.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const StartupResult result = Resolve(arguments, store);
        QDir::setCurrent(before);
        QCOMPARE(result.connection.host, host);
        QCOMPARE(result.connection.caFile, usesCaFile ? caFile : QString());
        QVERIFY2(error.isEmpty() ? result.error.isEmpty() : result.error.contains(error),
                 qPrintable(result.error));
        QVERIFY2(notice.isEmpty() ? result.notice.isEmpty() : result.notice.contains(notice),
                 qPrintable(result.notice));
        const StoredSettings after = store.Read();
        QCOMPARE(after.host, hostAfter);
        QCOMPARE(after.caFile, caFileAfter ? caFile : QString());
    }

    void unwritableSettings()
    {
        QTemporaryDir dir;
        // A file where the folder should be: refused even to root.
        QFile blocker(dir.filePath(QStringLiteral("Kestrune")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const SettingsStore store(dir.filePath(QStringLiteral("Kestrune/kestrune.conf")));
        const StartupResult result =
            Resolve({QStringLiteral("--host"), QStringLiteral("x.example.org"),
                     QStringLiteral("--remember")},
                    store);
        QVERIFY2(result.error.contains(QDir::toNativeSeparators(store.File())),
                 qPrintable(result.error));
        QCOMPARE(result.connection.host, QStringLiteral("x.example.org"));
    }

    void defaultPlace()
    {
#ifdef Q_OS_WIN
        QCOMPARE(SettingsStore::DefaultFile(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/kestrune.ini"));
#else
        QTemporaryDir home;
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        const QString file = SettingsStore::DefaultFile();
        const QString written = SettingsStore().Write(QStringLiteral("x.example.org"), {});
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(file, home.filePath(QStringLiteral("Kestrune/kestrune.conf")));
        QCOMPARE(written, QString());
        QCOMPARE(SettingsStore(file).Read().host, QStringLiteral("x.example.org"));
#endif
    }

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
        row("ampersand", "a&b", "\"a&b\"");
    }
    void windowsQuoting()
    {
        QFETCH(QString, word);
        QFETCH(QString, quoted);
        QCOMPARE(QuoteCommandLine({word}, Shell::Windows), quoted);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
