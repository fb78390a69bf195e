// The one timeout on the real clock, to keep the real timer's wiring tested;
// the server-fault table runs the others on a fast clock. Its seconds are
// real, so it is left out of the quick loop.
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"

#include <QElapsedTimer>
#include <QTest>

using namespace kestrune;

class TestRealClock : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)),
                 ExpectedPages(h.forum, QByteArrayLiteral("Henu"), 1, 1));
    }
};

QTEST_GUILESS_MAIN(TestRealClock)
#include "tst_realclock.moc"
