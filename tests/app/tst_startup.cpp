#include "app/common/hostsetting.h"
#include "app/common/settingsstore.h"
#include "app/common/shellquote.h"
#include "app/common/startup.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

        QTest::newRow("name") << "forum.example.org"
                              << "forum.example.org";
        QTest::newRow("name and port") << "forum.example.org:8080"
                                       << "forum.example.org:8080";
        QTest::newRow("blanks around") << "  127.0.0.1:8936 "
                                       << "127.0.0.1:8936";
        QTest::newRow("https") << "https://forum.example.org"
                               << "https://forum.example.org";
        QTest::newRow("scheme and name in capitals, trailing slash") << "HTTPS://Forum.Example.ORG/"
                                                                     << "https://forum.example.org";
        QTest::newRow("http with port") << "http://127.0.0.1:8936"
                                        << "http://127.0.0.1:8936";
        QTest::newRow("ipv6") << "[::1]:8936"
                              << "[::1]:8936";
        QTest::newRow("international name") << "论坛.example"
                                            << "xn--kfsr23j.example";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("other scheme") << "ftp://forum.example.org"
                                      << "";
        QTest::newRow("scheme only") << "https://"
                                     << "";
        QTest::newRow("space inside") << "forum example.org"
                                      << "";
        QTest::newRow("port too big") << "forum.example.org:65536"
                                      << "";
        QTest::newRow("port not a number") << "forum.example.org:80a"
                                           << "";
        QTest::newRow("user") << "https://me@forum.example.org"
                              << "";
        QTest::newRow("path") << "forum.example.org/f/like"
                              << "";
        QTest::newRow("query") << "https://forum.example.org/?kw=Henu"
                               << "";
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
        QTest::addColumn<QStringList>("arguments"); // CA names the test CA file
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("usesCaFile");
        QTest::addColumn<QString>("error");  // a part of it; empty: none
        QTest::addColumn<QString>("notice"); // a part of it; empty: none
        QTest::addColumn<QString>("hostAfter");
        QTest::addColumn<bool>("caFileAfter");

        const QString host = QStringLiteral("--host");
        const QString ca = QStringLiteral("--ca-file");
        const QString remember = QStringLiteral("--remember");
        const QString stored = QStringLiteral("stored.example.org:81");
        QTest::newRow("nothing stored")
            << "" << false << QStringList() << DefaultHost << false << ""
            << ""
            << "" << false;
        QTest::newRow("stored") << stored << true << QStringList() << stored << true << ""
                                << "" << stored << true;
        QTest::newRow("one run") << stored << false << QStringList{host, "https://x.example.org"}
                                 << "https://x.example.org" << false << ""
                                 << "" << stored << false;
        QTest::newRow("remember host")
            << "" << false << QStringList{host, "X.example.org:82", remember} << "x.example.org:82"
            << false << ""
            << "论坛地址 x.example.org:82"
            << "x.example.org:82" << false;
        QTest::newRow("remember CA file")
            << stored << false << QStringList{ca, "CA", remember} << stored << true << ""
            << "CA 证书文件" << stored << true;
        QTest::newRow("forget both") << stored << true << QStringList{host, "", ca, "", remember}
                                     << DefaultHost << false << ""
                                     << "恢复为默认"
                                     << "" << false;
        QTest::newRow("remember alone")
            << stored << false << QStringList{remember} << stored << false << "--remember"
            << "" << stored << false;
        QTest::newRow("bad host on the command line")
            << stored << false << QStringList{host, "ftp://x", remember} << stored << false
            << "ftp://x"
            << "" << stored << false;
        QTest::newRow("bad stored host")
            << "a b" << false << QStringList() << DefaultHost << false << "kestrune.conf"
            << ""
            << "a b" << false;
        QTest::newRow("bad stored host overridden")
            << "a b" << false << QStringList{host, "y.example.org"} << "y.example.org" << false
            << ""
            << ""
            << "a b" << false;
        QTest::newRow("missing CA file") << "" << false << QStringList{ca, "no-such.pem", remember}
                                         << DefaultHost << false << "no-such.pem"
                                         << ""
                                         << "" << false;
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
        std::replace(arguments.begin(), arguments.end(), QStringLiteral("CA"), caFile);

        const StartupResult result = Resolve(arguments, store);
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

    void caFileStoredAbsolute()
    {
        QTemporaryDir dir;
        QFile pem(dir.filePath(QStringLiteral("ca.pem")));
        QVERIFY(pem.open(QIODevice::WriteOnly));
        pem.close();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const SettingsStore store(dir.filePath(QStringLiteral("kestrune.conf")));
        const StartupResult result = Resolve(
            {QStringLiteral("--ca-file"), QStringLiteral("ca.pem"), QStringLiteral("--remember")},
            store);
        QDir::setCurrent(before);
        QCOMPARE(result.error, QString());
        QCOMPARE(store.Read().caFile, QFileInfo(pem).absoluteFilePath());
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
        QTest::newRow("plain") << "C:\\Kestrune\\kestrune-cli.exe"
                               << "C:\\Kestrune\\kestrune-cli.exe";
        QTest::newRow("space") << "C:\\Program Files\\k.exe"
                               << "\"C:\\Program Files\\k.exe\"";
        QTest::newRow("empty") << ""
                               << "\"\"";
        QTest::newRow("quote") << "a\"b"
                               << "\"a\\\"b\"";
        QTest::newRow("backslashes before a quote") << "a\\\\\"b"
                                                    << "\"a\\\\\\\\\\\"b\"";
        QTest::newRow("trailing backslash") << "C:\\my dir\\"
                                            << "\"C:\\my dir\\\\\"";
        QTest::newRow("chinese") << "河南"
                                 << "\"河南\"";
        QTest::newRow("ampersand") << "a&b"
                                   << "\"a&b\"";
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
