#include "expectedresults.h"
#include "sampleforum.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

class TestCli : public QObject
{
    Q_OBJECT

private:
    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    // The server runs on this thread, so wait on the event loop, not blocking.
    Result Run(const QStringList &arguments, const QString &directory)
    {
        QProcess process;
        process.setWorkingDirectory(directory);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(KESTRUNE_CLI), arguments);
        if (!finished.wait(30000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void contract_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutText");
        QTest::addColumn<QString>("stderrContains");
        QTest::addColumn<qint64>("pagesWritten");
        const QStringList range{QStringLiteral("--from"),  QStringLiteral("1"),
                                QStringLiteral("--to"),    QStringLiteral("40"),
                                QStringLiteral("--delay"), QStringLiteral("0")};
        QTest::newRow("export") << range << 0 << QStringLiteral("导出完成！\n")
                                << QStringLiteral("第 2 页完成，已写入 40 个名字") << qint64(2);
        QTest::newRow("rank letters")
            << QStringList{QStringLiteral("--to"), QStringLiteral("abc")} << 1 << QString()
            << QStringLiteral("类型不匹配") << qint64(0);
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                                 << QStringLiteral("kestrune-cli 1.00\n") << QString() << qint64(0);
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2 << QString()
                                        << QStringLiteral("bogus") << qint64(0);
        QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")} << 2 << QString()
                                        << QStringLiteral("extra") << qint64(0);
    }
    void contract()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutText);
        QFETCH(QString, stderrContains);
        QFETCH(qint64, pagesWritten);
        SampleForum forum;
        QVERIFY(forum.listen(0));
        QTemporaryDir dir;
        const Result result =
            Run(QStringList{QStringLiteral("--host"),
                            QStringLiteral("127.0.0.1:%1").arg(forum.serverPort())} +
                    arguments,
                dir.path());
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, stdoutText);
        QVERIFY2(result.err.contains(stderrContains), qPrintable(result.err));
        QCOMPARE(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))),
                 ExpectedPages(forum, "Henu", 1, pagesWritten));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
