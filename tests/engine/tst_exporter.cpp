#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace kestrune;

namespace {

const QByteArray Henu = QByteArrayLiteral("Henu");

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
                 "kept\r\n" + ExpectedPages(h.forum, Henu, 2, 3));
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), h.forum.PageBody(Henu, 3) + "\r\n");
    }

    // The one timeout on the real clock, to keep the real timer's wiring
    // tested; the server-fault table runs the others on a fast clock.
    void stalledPageTimesOutOnTheRealClock()
    {
        ExportHarness h;
        h.forum.SetStallPage(2);
        h.inputs.toRank = QStringLiteral("60");
        QElapsedTimer sincePageTwo;
        connect(&h.exporter, &Exporter::pageStarted, this, [&](qint64 page) {
            if (page == 2)
                sincePageTwo.start();
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QVERIFY2(outcome.failure.fetch &&
                     outcome.failure.fetch->kind == FetchFailure::Kind::TimedOut,
                 qPrintable(outcome.message));
        QCOMPARE(outcome.failure.resumeRank, 21);
        QVERIFY2(sincePageTwo.elapsed() >= 3000,
                 qPrintable(QString::number(sincePageTwo.elapsed())));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), ExpectedPages(h.forum, Henu, 1, 1));
    }

    // Nothing reaches jieguo.txt; temp.txt holds what came before the failure.
    void failuresBeforeOrDuringAPage_data()
    {
        QTest::addColumn<QString>("fromRank");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("expectedError");
        QTest::addColumn<QByteArray>("pageFile"); // null: none
        QTest::newRow("letters in rank") << "abc"
                                         << "0" << false << "类型不匹配" << QByteArray();
        QTest::newRow("delay overflow") << "1"
                                        << "1" + QString(40, u'0') << false << "溢出"
                                        << SampleForum().PageBody(Henu, 1) + "\r\n";
        QTest::newRow("refused") << "1"
                                 << "0" << true << "网络错误" << QByteArray("");
    }
    void failuresBeforeOrDuringAPage()
    {
        QFETCH(QString, fromRank);
        QFETCH(QString, delay);
        QFETCH(bool, refused);
        QFETCH(QString, expectedError);
        QFETCH(QByteArray, pageFile);
        ExportHarness h;
        h.inputs.fromRank = fromRank;
        h.inputs.delay = delay;
        if (refused) {
            QTcpServer closed; // a free port once it goes
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            h.exporter.SetHost(LocalHost(closed.serverPort()));
        }
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        const QString what = outcome.failure.fetch ? DescribeFetchFailure(*outcome.failure.fetch)
                                                   : DescribeError(*outcome.failure.error);
        QVERIFY2(what.startsWith(expectedError), qPrintable(what));
        QVERIFY(!QFile::exists(h.FilePath(ResultsFileName)));
        QCOMPARE(QFile::exists(h.FilePath(PageFileName)), !pageFile.isNull());
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), pageFile);
    }

    void stopFromAPageFinishedSlotEndsThere()
    {
        ExportHarness h;
        QSignalSpy started(&h.exporter, &Exporter::pageStarted);
        connect(&h.exporter, &Exporter::pageFinished, &h.exporter, &Exporter::Stop);
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished && !outcome.completed);
        QCOMPARE(started.size(), 1);
        QVERIFY(!h.exporter.IsRunning());
        QCOMPARE(outcome.failure.cause, ExportFailure::Cause::Stopped);
        QCOMPARE(outcome.failure.page, 2);
        QCOMPARE(outcome.failure.namesWritten, 20);
        QCOMPARE(outcome.failure.resumeRank, 21);
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), ExpectedPages(h.forum, Henu, 1, 1));
    }

    void emptyRangeCompletesAtOnce()
    {
        ExportHarness h;
        h.inputs.fromRank = QStringLiteral("100");
        h.inputs.toRank = QStringLiteral("1");
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.completed);
        QCOMPARE(h.forum.RequestCount(), 0);
        QVERIFY(!QFile::exists(h.FilePath(PageFileName)));
    }
};

QTEST_GUILESS_MAIN(TestExporter)
#include "tst_exporter.moc"
