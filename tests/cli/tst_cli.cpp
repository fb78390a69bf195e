#include "platform/cp936.h"
#include "tests/support/expectedresults.h"
#include "tests/support/fixtures.h"
#include "tests/support/runprogram.h"
#include "tests/support/scriptedserver.h"
#include "tools/sampleforum/sampleforum.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QLockFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <optional>
#include <utility>

using namespace kestrune;

namespace {

// One run against the sample forum: its options after --host, what it
// prints and the pages it writes.
struct Contract
{
    const char *args = "";
    int exitCode = 0;
    const char *out = "";
    const char *err = ""; // a part of it
    qint64 pages = 0;
    // The ranks of the run's only table, which starts with `existing`; none:
    // the folder holds no table.
    std::optional<std::pair<qint64, qint64>> table{};
    const char *existing = nullptr; // t.csv before the run
    const char *folder = "";        // where the results go, below the run's
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    using Result = ProgramResult;

    // Whatever a run stores goes to a folder of this test's.
    Result Run(const QStringList &arguments, const QString &directory,
               const QString &program = QStringLiteral(KESTRUNE_CLI),
               const std::function<void(QProcess &)> &whileRunning = {})
    {
        return RunProgram(program, arguments, directory, config_.path(), whileRunning);
    }

    QTemporaryDir config_;

private slots:
    // It names its own program and where the settings live.
    void helpNamesTheSettings()
    {
        QTemporaryDir dir;
        const Result result = Run({QStringLiteral("--help")}, dir.path());
        QCOMPARE(result.exitCode, 0);
#ifdef Q_OS_WIN
        const QString settings = QStringLiteral("kestrune.ini");
#else
        const QString settings = QStringLiteral("~/.config/Kestrune/kestrune.conf");
#endif
        for (const QString &text : {settings, QStringLiteral("kestrune-cli --host")})
            QVERIFY2(result.out.contains(text), qPrintable(result.out));
    }

    // What is remembered is the start-up test's; here, that the program keeps it
    // in its own settings file, says where, and goes on to export.
    void rememberedHost()
    {
        SampleForum forum;
        QVERIFY(forum.Listen(0));
        QTemporaryDir dir;
        QString program = QStringLiteral(KESTRUNE_CLI);
#ifdef Q_OS_WIN
        // The settings live beside the program: run a copy kept here.
        program = dir.filePath(QStringLiteral("kestrune-cli.exe"));
        QVERIFY(QFile::copy(QStringLiteral(KESTRUNE_CLI), program));
        const QString settings = dir.filePath(QStringLiteral("kestrune.ini"));
#else
        const QString settings = config_.filePath(QStringLiteral("Kestrune/kestrune.conf"));
#endif
        const QString host = LocalHost(forum.ServerPort());
        const Result result =
            Run({"--host", host, "--remember", "--to", "20", "--delay", "0"}, dir.path(), program);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.contains(QDir::toNativeSeparators(settings)), qPrintable(result.err));
        QVERIFY(QFile::exists(settings));
        QCOMPARE(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))),
                 ExpectedPages(forum, "Henu", 1, 1));
    }

    // Only with no host given or stored is a built-in host that refuses told
    // as an address never set; the sample forum there is used silently.
    void noForumAddress_data()
    {
        QTest::addColumn<bool>("forumThere");
        QTest::addColumn<bool>("hostGiven");
        QTest::newRow("nothing there") << false << false;
        QTest::newRow("the same host given") << false << true;
        QTest::newRow("the sample forum there") << true << false;
    }
    void noForumAddress()
    {
        QFETCH(bool, forumThere);
        QFETCH(bool, hostGiven);
        const QUrl builtIn(QStringLiteral("http://" KESTRUNE_DEFAULT_FORUM_HOST));
        const auto port = static_cast<quint16>(builtIn.port(80));
        // Bound without listening, the port refuses and nobody else takes it.
        QTcpSocket refusing;
        SampleForum forum;
        if (!builtIn.host().startsWith(QLatin1String("127.")) ||
            (forumThere ? !forum.Listen(port)
                        : !refusing.bind(QHostAddress(builtIn.host()), port,
                                         QAbstractSocket::DontShareAddress |
                                             QAbstractSocket::ReuseAddressHint)))
            QSKIP("the built-in port is not ours to use");
        QTemporaryDir dir;
        QTemporaryDir config; // nothing stored
        const QStringList host{"--host", builtIn.authority()};
        const Result result = RunProgram(QStringLiteral(KESTRUNE_CLI),
                                         QStringList{"--to", "20", "--delay", "0"} +
                                             (hostGiven ? host : QStringList()),
                                         dir.path(), config.path());
        QCOMPARE(result.exitCode, forumThere ? 0 : 1);
        QCOMPARE(result.err.startsWith(QStringLiteral("还没有设置论坛地址")),
                 !forumThere && !hostGiven);
    }

    void printsResumeCommand()
    {
#ifdef Q_OS_WIN
        QSKIP("checked through a POSIX shell");
#endif
        ScriptedServer server;
        QVERIFY(server.Listen({{}, ScriptedServer::ResetMidBody(), {}})); // page 2 fails once
        QTemporaryDir dir;
        const QString forumName = QStringLiteral("It's $x 论坛");
        const QString host = LocalHost(server.Port());
        const QStringList arguments{"--delay", "0",      "--forum", forumName,   "--to",
                                    "60",      "--host", host,      "--timeout", "5"};
        Result result = Run(arguments, dir.path());
        QCOMPARE(result.exitCode, 1);
        const QStringList lines = result.err.trimmed().split(QLatin1Char('\n'));
        QVERIFY2(lines.size() >= 2 &&
                     lines.at(lines.size() - 2) == QStringLiteral("继续导出可运行："),
                 qPrintable(result.err));
        const QString &command = lines.constLast();
        const QStringList tables = QDir(dir.path()).entryList({QStringLiteral("*.csv")});
        QCOMPARE(tables.size(), 1);
        const QString table = dir.filePath(tables.constFirst());

        // The shell hands back the same words, --from now the failed page's first
        // rank, --number-from the next line's number, and the same table.
        const QString sh = QStringLiteral("/bin/sh");
        result = Run({"-c", "printf '%s\\n' " + command}, dir.path(), sh);
        QCOMPARE(result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 QStringList({KESTRUNE_CLI, "--host", host, "--timeout", "5", "--forum", forumName,
                              "--from", "21", "--to", "60", "--delay", "0", "--number-from", "3",
                              "--table", table}));

        result = Run({"-c", command}, dir.path(), sh);
        QCOMPARE(result.exitCode, 0);
        // Both files read as one uninterrupted run.
        QCOMPARE(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))),
                 GoodLines() + GoodLines(3) + GoodLines(5));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.csv")}), tables);
        QCOMPARE(FileBytes(table),
                 QByteArray("\xEF\xBB\xBF名次,会员名,等级\r\n1,AAA,5\r\n2,BBB,17\r\n"
                            "21,AAA,5\r\n22,BBB,17\r\n41,AAA,5\r\n42,BBB,17\r\n"));
    }

    // A name written twice is told by the numbers it has in jieguo.txt, which
    // already held lines.
    void repeatedNamesByTheirNumbers()
    {
        SampleForum forum;
        forum.SetRepeatNames(true);
        QVERIFY(forum.Listen(0));
        QTemporaryDir dir;
        const QStringList arguments{
            "--host", LocalHost(forum.ServerPort()), "--to", "400", "--delay", "0"};
        QCOMPARE(Run(arguments, dir.path()).exitCode, 0);
        const Result result = Run(arguments + QStringList{"--number-from", "1001"}, dir.path());
        QCOMPARE(result.exitCode, 0);
        QHash<QString, QString> named; // number: name, as jieguo.txt has them
        const QString results = DecodeCp936(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))));
        for (const QString &line : results.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
            named.insert(words.at(0), words.at(1));
        }
        QCOMPARE(named.size(), 800);
        const QRegularExpression told(QStringLiteral("^(\\S+)：编号 ([0-9、]+)$"),
                                      QRegularExpression::MultilineOption);
        int names = 0;
        for (const QRegularExpressionMatch &match : told.globalMatch(result.err)) {
            ++names;
            for (const QString &number : match.captured(2).split(u'、')) {
                QVERIFY(number.toInt() > 1000);
                QCOMPARE(named.value(number), match.captured(1));
            }
        }
        QVERIFY2(names > 0, qPrintable(result.err));
    }
    // A run killed mid-run leaves a record --continue carries on from, giving
    // the files an uninterrupted run gives, even past a page cut short. A
    // record that cannot be used is told and left where it is.
    void continueAfterAKill_data()
    {
        QTest::addColumn<QByteArray>("record"); // written over the run's; empty: the run's own
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        QTest::newRow("killed") << QByteArray() << 0 << QStringLiteral("导出完成！");
        QTest::newRow("folder in use")
            << QByteArray("busy") << 2 << QStringLiteral("正在这个文件夹里导出");
        QTest::newRow("record cut short")
            << QByteArray("kestrune-resume 1\nforum=Henu\n") << 2 << QStringLiteral("已损坏");
        QTest::newRow("record from a later version")
            << QByteArray("kestrune-resume 2\n") << 2 << QStringLiteral("较新版本");
    }
    void continueAfterAKill()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        SampleForum forum;
        QVERIFY(forum.Listen(0));
        QTemporaryDir dir;
        const QString resume = dir.filePath(QStringLiteral("kestrune.resume"));
        const QStringList run{"--host", LocalHost(forum.ServerPort()), "--to", "200"};
        const Result killed =
            Run(run + QStringList{"--delay", "2"}, dir.path(), QStringLiteral(KESTRUNE_CLI),
                [](QProcess &process) {
                    process.setReadChannel(QProcess::StandardError);
                    // ASCII only: on Windows the line is in the console's code page.
                    QTRY_VERIFY_WITH_TIMEOUT(process.peek(1 << 20).contains("3/10"), 20000);
                    process.kill();
                });
        QVERIFY(killed.exitCode != 0);
        QVERIFY(QFile::exists(resume));
        // Held by this process: another run in the folder.
        QLockFile lock(dir.filePath(QStringLiteral("kestrune.lock")));
        if (record == "busy")
            QVERIFY(lock.tryLock(0));
        else if (!record.isEmpty()) {
            QFile file(resume);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(record) == record.size());
        }
        const QStringList tables = QDir(dir.path()).entryList({QStringLiteral("*.csv")});
        QCOMPARE(tables.size(), 1);
        const QString table = dir.filePath(tables.constFirst());
        // What a kill in the middle of a page's write would leave.
        for (const QString &path : {dir.filePath(QStringLiteral("jieguo.txt")), table}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append) && file.write(" 999  半行") > 0);
        }

        const Result continued = Run({"--continue", "--delay", "0"}, dir.path());
        QCOMPARE(continued.exitCode, exitCode);
        QVERIFY2(continued.out.contains(told) || continued.err.contains(told),
                 qPrintable(continued.err));
        QCOMPARE(QFile::exists(resume), exitCode != 0);
        if (exitCode != 0)
            return;
        QCOMPARE(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))),
                 ExpectedPages(forum, "Henu", 1, 10));
        QCOMPARE(FileBytes(table), ExpectedTable(forum, "Henu", 1, 200));
    }
#ifndef Q_OS_WIN
    // A signal mid-run ends the run as the window's 停止 does.
    void signalStopsTheRun_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalStopsTheRun()
    {
        QFETCH(int, signalNumber);
        // Page 2 onwards end on a name without its value, leaving the line open.
        ScriptedServer server;
        QVERIFY(server.Listen({{}, {.body = ScriptedServer::PageEndingOnAName() }}));
        QTemporaryDir dir;
        // A long pause after page 3 arrives gives the signal its moment.
        const Result result =
            Run({"--host", LocalHost(server.Port()), "--to", "2000", "--delay", "1"}, dir.path(),
                QStringLiteral(KESTRUNE_CLI), [signalNumber](QProcess &process) {
                    process.setReadChannel(QProcess::StandardError);
                    QTRY_VERIFY_WITH_TIMEOUT(
                        process.peek(1 << 20).contains(QStringLiteral("2/100 页").toUtf8()), 20000);
                    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
                });
        QCOMPARE(result.exitCode, 128 + signalNumber);
        QVERIFY2(result.err.contains(QStringLiteral("停止")), qPrintable(result.err));
        const QByteArray results = FileBytes(dir.filePath(QStringLiteral("jieguo.txt")));
        QVERIFY2(results.endsWith("\r\n"), results.constData());
        QVERIFY(results.startsWith(GoodLines() + " 3     ZZZ              "));
    }
#endif
#if defined(KESTRUNE_GUI) && !defined(Q_OS_WIN)
    // Without a display the window program says so in Chinese, the variables
    // it looked for indented below, and still prints its version.
    void windowProgramWithoutDisplay()
    {
        QTemporaryDir dir;
        const QString program = QStringLiteral(KESTRUNE_GUI);
        QCOMPARE(Run({"--version"}, dir.path(), program).out,
                 QStringLiteral("kestrune " KESTRUNE_VERSION "\n"));
        // What --help says --help-all adds.
        QVERIFY(Run({"--help"}, dir.path(), program).out.contains(QStringLiteral("--help-all")));
        QVERIFY(Run({"--help-all"}, dir.path(), program).out.contains(QStringLiteral("-platform")));
        const Result result = Run({}, dir.path(), program);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(
            result.err.contains(QStringLiteral("改用命令行程序 kestrune-cli")) &&
                result.err.endsWith(QStringLiteral("\n  没有设置 DISPLAY 或 WAYLAND_DISPLAY\n")),
            qPrintable(result.err));
    }
#endif
    void contract_data()
    {
        QTest::addColumn<Contract>("c");
        const auto row = [](const char *name, const Contract &c) {
            QTest::newRow(name) << c;
        };
        row("export",
            {.args = "--from 1 --to 40 --delay 0",
             .out = "导出完成！\n",
             .err = "第 1/2 页已导出，共写入 20 个名字\n第 2/2 页已导出，共写入 40 个名字\n",
             .pages = 2,
             .table = {{1, 40}}});
        row("off page boundaries", {.args = "--from 5 --to 30 --delay 0",
                                    .out = "导出完成！\n",
                                    .err = "按整页写入 jieguo.txt：第 1—40 名；表格中为第 5—30 名",
                                    .pages = 2,
                                    .table = {{5, 30}}});
        row("full-width numbers", {.args = "--to ２０ --delay ０ --number-from １ --timeout ５",
                                   .out = "导出完成！\n",
                                   .pages = 1,
                                   .table = {{1, 20}}});
        row("no table",
            {.args = "--to 20 --delay 0 --no-table", .out = "导出完成！\n", .pages = 1});
        row("another folder", {.args = "--to 20 --delay 0 --folder sub",
                               .out = "导出完成！\n",
                               .pages = 1,
                               .table = {{1, 20}},
                               .folder = "sub"});
        row("a table continued", {.args = "--to 20 --delay 0 --table t.csv",
                                  .out = "导出完成！\n",
                                  .pages = 1,
                                  .table = {{1, 20}},
                                  .existing = "\xEF\xBB\xBF名次,会员名,等级\r\n0,x,1\r\n"});
        row("an empty file made a table", {.args = "--to 20 --delay 0 --table t.csv",
                                           .out = "导出完成！\n",
                                           .pages = 1,
                                           .table = {{1, 20}},
                                           .existing = ""});
        row("not a table of ours", {.args = "--to 20 --table t.csv",
                                    .exitCode = 1,
                                    .err = "不是本程序导出的表格",
                                    .existing = "名次,会员名,等级\r\n"});
        row("table and no table",
            {.args = "--table t.csv --no-table", .exitCode = 2, .err = "不能同时使用"});
        row("rank letters",
            {.args = "--to abc", .exitCode = 1, .err = "“结束名次”（--to）中的“abc”不是数字。"});
        row("version", {.args = "--version", .out = "kestrune-cli " KESTRUNE_VERSION "\n"});
        // Qt's own usage errors speak Chinese too, whatever the system's language.
        row("unknown option", {.args = "--bogus", .exitCode = 2, .err = "未知选项“bogus”"});
        row("no --help-all", {.args = "--help-all", .exitCode = 2, .err = "未知选项“help-all”"});
        row("stray argument", {.args = "extra", .exitCode = 2, .err = "extra"});
        row("bad host", {.args = "--host ftp://h", .exitCode = 2, .err = "论坛地址“ftp://h”有误"});
        row("number from 0", {.args = "--number-from 0", .exitCode = 2, .err = "起始编号“0”有误"});
    }
    void contract()
    {
        QFETCH(Contract, c);
        SampleForum forum;
        QVERIFY(forum.Listen(0));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString existing = dir.filePath(QStringLiteral("t.csv"));
        QVERIFY(!c.existing || WriteFile(existing, c.existing));
        const QStringList arguments = QString::fromUtf8(c.args).split(u' ');
        const Result result =
            Run(QStringList{"--host", LocalHost(forum.ServerPort())} + arguments, dir.path());
        QCOMPARE(result.exitCode, c.exitCode);
        QCOMPARE(result.out, QString::fromUtf8(c.out));
        QVERIFY2(result.err.contains(QString::fromUtf8(c.err)), qPrintable(result.err));
        const QDir results(dir.filePath(QString::fromUtf8(c.folder)));
        QCOMPARE(FileBytes(results.filePath(QStringLiteral("jieguo.txt"))),
                 ExpectedPages(forum, "Henu", 1, c.pages));
        // A table named is the only one.
        const QStringList tables = results.entryList({QStringLiteral("*.csv")});
        QCOMPARE(tables.size(), c.table || c.existing ? 1 : 0);
        const QByteArray before(c.existing);
        if (!c.table) {
            QCOMPARE(FileBytes(existing), before);
            return;
        }
        const QString table = results.filePath(tables.constFirst());
        QVERIFY2(
            result.err.contains(QStringLiteral("表格文件：") + QDir::toNativeSeparators(table)),
            qPrintable(result.err));
        QByteArray expected = ExpectedTable(forum, "Henu", c.table->first, c.table->second);
        if (!before.isEmpty())
            expected = before + expected.mid(expected.indexOf("\r\n") + 2);
        QCOMPARE(FileBytes(table), expected);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
