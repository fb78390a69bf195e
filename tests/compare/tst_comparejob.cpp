// Comparing off the window's thread: progress, the result, and a job
// stopped midway by the next one.
#include "compare/comparejob.h"
#include "tables/tableformat.h"
#include "tests/support/expectedresults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

class TestCompareJob : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString older_;
    QString newer_;

private slots:
    void initTestCase()
    {
        // Large enough for many progress steps.
        for (const bool newer : {false, true}) {
            std::string text = std::string(ByteOrderMark) + std::string(ExportTableHeader) + "\r\n";
            for (std::int64_t rank = 1; rank <= 300'000; ++rank) {
                // Newer: each first and second of three change places.
                const std::int64_t who =
                    !newer ? rank : rank + (rank % 3 == 1 ? 1 : (rank % 3 == 2 ? -1 : 0));
                text +=
                    TableRow().Number(rank).Text("会员" + std::to_string(who)).Text("5").Finish();
            }
            QString &path = newer ? newer_ : older_;
            path = dir_.filePath(newer ? QStringLiteral("new.csv") : QStringLiteral("old.csv"));
            QVERIFY(WriteFile(path, QByteArray::fromStdString(text)));
        }
    }

    void reportsProgressThenTheResult()
    {
        CompareJob job({.older = older_, .newer = newer_});
        QSignalSpy progress(&job, &CompareJob::progressed);
        QSignalSpy finished(&job, &CompareJob::finished);
        QVERIFY(finished.wait(20000));
        QList<int> steps;
        for (const QList<QVariant> &step : progress)
            steps << step.at(0).toInt();
        QVERIFY2(steps.size() > 3, qPrintable(QString::number(steps.size())));
        QVERIFY(std::ranges::is_sorted(steps));
        QCOMPARE(steps.constFirst(), 0);
        QCOMPARE(steps.constLast(), 100);
        const auto result =
            finished.at(0).at(0).value<std::shared_ptr<const kestrune::ComparedExports>>();
        QCOMPARE(result->comparison.Size(), std::size_t{300'000});
        for (const Change change : {Change::Up, Change::Down, Change::Same})
            QCOMPARE(result->comparison.Summary().Count(change), 100'000);
    }

    void aJobStoppedMidwayReportsNothingMore()
    {
        QObject receiver;
        int outcomes = 0;
        {
            CompareJob job({.older = older_, .newer = newer_});
            connect(&job, &CompareJob::finished, &receiver, [&outcomes] { ++outcomes; });
            connect(&job, &CompareJob::failed, &receiver, [&outcomes] { ++outcomes; });
            QSignalSpy progress(&job, &CompareJob::progressed);
            QVERIFY(progress.wait(20000));
        }
        QTest::qWait(200);
        QCOMPARE(outcomes, 0);
    }

    void aTableThatCannotBeReadFails()
    {
        CompareJob job({.older = older_, .newer = dir_.filePath(QStringLiteral("none.csv"))});
        QString said;
        connect(&job, &CompareJob::failed, this,
                [&said](const UserMessage &problem) { said = problem.text; });
        QTRY_VERIFY_WITH_TIMEOUT(said.contains(u"none.csv"), 20000);
    }
};

QTEST_GUILESS_MAIN(TestCompareJob)
#include "tst_comparejob.moc"
