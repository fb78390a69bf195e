#include "tests/support/expectedresults.h"
#include "tests/support/scriptedserver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace kestrune;

// A signal mid-run ends the command-line exporter through the same stop path
// as the window's 停止.
class TestCliSignals : public QObject
{
    Q_OBJECT

private slots:
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
        QVERIFY(server.Listen());
        server.SetFault(ScriptedServer::Fault::Status, ScriptedServer::PageEndingOnAName(), 200);
        QTemporaryDir dir;
        QTemporaryDir config;
        QProcess process;
        process.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        process.setProcessEnvironment(environment);
        QByteArray progress;
        connect(&process, &QProcess::readyReadStandardError, this,
                [&] { progress += process.readAllStandardError(); });
        QSignalSpy finished(&process, &QProcess::finished);
        // A long pause after page 3 arrives gives the signal its moment.
        process.start(QStringLiteral(KESTRUNE_CLI),
                      {QStringLiteral("--host"), QStringLiteral("127.0.0.1:%1").arg(server.Port()),
                       QStringLiteral("--to"), QStringLiteral("2000"), QStringLiteral("--delay"),
                       QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(progress.contains(QStringLiteral("第 2 页完成").toUtf8()), 20000);
        ::kill(static_cast<pid_t>(process.processId()), signalNumber);
        QVERIFY(finished.wait(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signalNumber);
        const QString err = QString::fromUtf8(progress + process.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("停止")), qPrintable(err));
        const QByteArray results = FileBytes(dir.filePath(QStringLiteral("jieguo.txt")));
        QVERIFY2(results.endsWith("\r\n"), results.constData());
        QVERIFY(results.startsWith(" 1     AAA              5\r\n"
                                   " 2     BBB              17\r\n"
                                   " 3     ZZZ              "));
    }
};

QTEST_GUILESS_MAIN(TestCliSignals)
#include "tst_clisignals.moc"
