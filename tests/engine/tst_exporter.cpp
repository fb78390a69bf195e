#include "cp936.h"
#include "expectedresults.h"
#include "exportharness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace kestrune;

namespace {

const QByteArray Henu = QByteArrayLiteral("Henu");

QList<SampleMember> Members(const SampleForum &forum, const QByteArray &name, qint64 first,
                            qint64 last)
{
    QList<SampleMember> all;
    for (qint64 page = first; page <= last; ++page)
        all += forum.membersOnPage(name, page);
    return all;
}

} // namespace

class TestExporter : public QObject
{
    Q_OBJECT

private slots:
    void exportsWholePagesByteForByte()
    {
        ExportHarness h;
        h.inputs.fromRank = QStringLiteral("25"); // whole pages: 21..60
        {
            QFile earlier(h.FilePath(ResultsFileName));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("kept\r\n");
        }
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(outcome.message, QStringLiteral("导出完成！"));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 "kept\r\n" + ExpectedResults(Members(h.forum, Henu, 2, 3), 1));
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), h.forum.pageBody(Henu, 3) + "\r\n");
    }

    void numberingRunsOnWithinTheExporterOnly()
    {
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("20");
        QVERIFY(h.Run().completed);
        h.inputs.fromRank = QStringLiteral("21");
        h.inputs.toRank = QStringLiteral("40");
        QVERIFY(h.Run().completed);
        // A new program run starts again at 1.
        EditableInputs inputs;
        inputs.toRank = QStringLiteral("20");
        Exporter fresh(inputs);
        fresh.SetHost(h.exporter.Host());
        fresh.SetDirectory(QDir(h.dir.path()));
        QMetaObject::invokeMethod(&fresh, &Exporter::RunExport, Qt::QueuedConnection);
        QVERIFY(WaitForOutcome(fresh).completed);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedResults(Members(h.forum, Henu, 1, 2), 1) +
                     ExpectedResults(Members(h.forum, Henu, 1, 1), 1));
    }

    void chineseForumNameRoundTrips()
    {
        ExportHarness h;
        h.inputs.forumName = QStringLiteral("中文 论坛");
        h.inputs.toRank = QStringLiteral("20");
        QSignalSpy requests(&h.forum, &SampleForum::requestReceived);
        QVERIFY(h.Run().completed);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0).at(0).toByteArray(),
                 QByteArrayLiteral("/f/like/furank?kw=%D6%D0%CE%C4%20%C2%DB%CC%B3&pn=1"));
        QByteArray gbkName;
        QVERIFY(EncodeCp936(h.inputs.forumName, gbkName));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedResults(h.forum.membersOnPage(gbkName, 1), 1));
    }

    void forumNameEditTakesEffectOnNextPage()
    {
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("40");
        QSignalSpy requests(&h.forum, &SampleForum::requestReceived);
        connect(&h.exporter, &Exporter::pageFinished, this,
                [&h] { h.inputs.forumName = QStringLiteral("abc"); });
        QVERIFY(h.Run().completed);
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(1).at(0).toByteArray(),
                 QByteArrayLiteral("/f/like/furank?kw=abc&pn=2"));
    }

    void errorPageBodyIsScanned()
    {
        ExportHarness h;
        h.inputs.toRank = QStringLiteral("20");
        h.forum.setStatusPage(1, 404);
        QVERIFY(h.Run().completed);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedResults(h.forum.membersOnPage(Henu, 1), 1));
    }

    void stalledPageTimesOutWithoutLosingEarlierPages()
    {
        ExportHarness h;
        h.forum.setStallPage(2);
        QElapsedTimer sinceRequest;
        connect(&h.forum, &SampleForum::requestReceived, this, [&](const QByteArray &target) {
            if (target.endsWith("pn=2"))
                sinceRequest.start();
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        // The rule allows 3 to 4 s; the upper bound leaves room for a busy machine.
        QVERIFY2(sinceRequest.elapsed() >= 2900,
                 qPrintable(QString::number(sinceRequest.elapsed())));
        QVERIFY2(sinceRequest.elapsed() < 6000,
                 qPrintable(QString::number(sinceRequest.elapsed())));
        QVERIFY2(outcome.message.contains(QStringLiteral("请求超时")), qPrintable(outcome.message));
        QVERIFY(outcome.message.contains(QStringLiteral("第 2 页")));
        QVERIFY(outcome.message.contains(QStringLiteral("从第 21 名")));
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), QByteArrayLiteral("\r\n"));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedResults(h.forum.membersOnPage(Henu, 1), 1));
    }

    void failuresBeforeOrDuringAPage_data()
    {
        QTest::addColumn<QString>("fromRank");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("expectedError");
        QTest::addColumn<bool>("pageStored");
        QTest::newRow("letters in rank") << "abc"
                                         << "0" << false << "类型不匹配" << false;
        QTest::newRow("empty rank") << ""
                                    << "0" << false << "类型不匹配" << false;
        QTest::newRow("rank overflow") << "1e10"
                                       << "0" << false << "溢出" << false;
        QTest::newRow("delay overflow")
            << "1" << QStringLiteral("1") + QString(40, u'0') << false << "溢出" << true;
        QTest::newRow("refused") << "1"
                                 << "0" << true << "网络错误" << false;
    }
    void failuresBeforeOrDuringAPage()
    {
        QFETCH(QString, fromRank);
        QFETCH(QString, delay);
        QFETCH(bool, refused);
        QFETCH(QString, expectedError);
        QFETCH(bool, pageStored);
        ExportHarness h;
        h.inputs.fromRank = fromRank;
        h.inputs.delay = delay;
        if (refused) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(closed.serverPort()));
        }
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QVERIFY2(outcome.message.contains(expectedError), qPrintable(outcome.message));
        QVERIFY(!QFile::exists(h.FilePath(ResultsFileName)));
        if (pageStored)
            QCOMPARE(FileBytes(h.FilePath(PageFileName)), h.forum.pageBody(Henu, 1) + "\r\n");
        else if (refused)
            QCOMPARE(FileBytes(h.FilePath(PageFileName)), QByteArray());
        else
            QVERIFY(!QFile::exists(h.FilePath(PageFileName)));
    }

    void emptyRangeCompletesAtOnce()
    {
        ExportHarness h;
        h.inputs.fromRank = QStringLiteral("100");
        h.inputs.toRank = QStringLiteral("1");
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.completed);
        QCOMPARE(h.forum.requestCount(), 0);
        QVERIFY(!QFile::exists(h.FilePath(PageFileName)));
    }

    void stopDuringPauseKeepsWhatWasWritten()
    {
        ExportHarness h;
        h.inputs.delay = QStringLiteral("600"); // a minute: only Stop ends it
        QSignalSpy requests(&h.forum, &SampleForum::requestReceived);
        QMetaObject::invokeMethod(&h.exporter, &Exporter::RunExport, Qt::QueuedConnection);
        QVERIFY(requests.wait());
        // The page is stored and the pause has begun once temp.txt holds it.
        QTRY_COMPARE(FileBytes(h.FilePath(PageFileName)), h.forum.pageBody(Henu, 1) + "\r\n");
        QSignalSpy failed(&h.exporter, &Exporter::failed);
        h.exporter.Stop();
        QCOMPARE(failed.size(), 1);
        const QString message = failed.at(0).at(0).toString();
        QVERIFY2(message.contains(QStringLiteral("停止")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("从第 1 名")));
        QVERIFY(!h.exporter.IsRunning());
        QVERIFY(!QFile::exists(h.FilePath(ResultsFileName)));
    }
};

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
