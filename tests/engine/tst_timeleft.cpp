#include "engine/timeleft.h"

#include <QTest>

using namespace kestrune;

class TestTimeLeft : public QObject
{
    Q_OBJECT

private slots:
    void estimate_data()
    {
        QTest::addColumn<qint64>("pagesLeft");
        QTest::addColumn<qint64>("pauseMs");
        QTest::addColumn<qint64>("fetchMsTotal");
        QTest::addColumn<qint64>("pagesMeasured");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, qint64 left, qint64 pause, qint64 fetch,
                            qint64 measured, const char *text) {
            QTest::newRow(name) << left << pause << fetch << measured << QString::fromUtf8(text);
        };
        row("nothing measured yet", 10, 1000, 0, 0, "");
        row("mean fetch plus pause", 25, 1000, 1000, 4, "剩余约 32 秒");
        row("part second rounds up", 1, 0, 1, 1, "剩余约 1 秒");
        row("minutes", 125, 1000, 0, 3, "剩余约 2 分 5 秒");
        row("hours", 3780, 1000, 0, 1, "剩余约 1 小时 3 分");
        row("narrow", 750, 1000, 0, 1, "约 12 分 30 秒");
        row("last page done", 0, 1000, 500, 1, "剩余约 0 秒");
    }
    void estimate()
    {
        QFETCH(qint64, pagesLeft);
        QFETCH(qint64, pauseMs);
        QFETCH(qint64, fetchMsTotal);
        QFETCH(qint64, pagesMeasured);
        QFETCH(QString, text);
        // The narrow form is the one without 剩余.
        QCOMPARE(
            DescribeTimeLeft(TimeLeftMilliseconds(pagesLeft, pauseMs, fetchMsTotal, pagesMeasured),
                             text.startsWith(u'约')),
            text);
    }
};

QTEST_GUILESS_MAIN(TestTimeLeft)
#include "tst_timeleft.moc"
