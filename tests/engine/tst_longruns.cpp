#include "engine/retrywait.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"

#include <QTest>
#include <QTimeZone>

using namespace kestrune;
using Ending = ScriptedServer::Ending;
using Reply = ScriptedServer::Reply;

namespace {

// The good page's two members on each of `pages` pages, numbered from 1.
QByteArray GoodPages(int pages)
{
    QList<SampleMember> members;
    for (int page = 0; page < pages; ++page)
        members += {{1, "AAA", 5}, {2, "BBB", 17}};
    return ExpectedResults(members, 1);
}

// A run of pages 1-2 with retries and how it ends.
struct RetryCase
{
    QList<Reply> replies{}; // page 1 gets the good page first
    int retries = 0;
    QList<qint64> waits{}; // told before each retry, in ms of the clock
    QString words{};       // in the error; none: the run completes
    bool stopInWait = false;
};

} // namespace

Q_DECLARE_METATYPE(RetryCase)

class TestLongRuns : public QObject
{
    Q_OBJECT

private slots:
    // A kept connection the server drops before answering the next request
    // costs that request nothing, however often it happens in a run.
    void droppedKeptConnections_data()
    {
        QTest::addColumn<QList<Reply>>("cycle");
        const Reply kept{.ending = Ending::Stay, .keepAlive = true};
        QTest::newRow("closed when the next request comes")
            << QList<Reply>{kept, {.fault = ScriptedServer::Fault::Raw, .body = {}}};
        QTest::newRow("closed right after every answer")
            << QList<Reply>{{.ending = Ending::Close, .keepAlive = true}};
        QTest::newRow("every third kept request reset") << QList<Reply>{
            kept, kept, {.fault = ScriptedServer::Fault::Raw, .body = {}, .ending = Ending::Reset}};
    }
    void droppedKeptConnections()
    {
        QFETCH(QList<Reply>, cycle);
        ScriptedServer server;
        QVERIFY(server.Listen());
        QList<Reply> script;
        while (script.size() < 400)
            script += cycle;
        server.Script(script);
        ExportHarness h;
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.inputs.toRank = QStringLiteral("2000");
        const RunOutcome outcome = h.Run(60000);
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), GoodPages(100));
    }

    void retryWait_data()
    {
        QTest::addColumn<int>("tries");
        QTest::addColumn<qint64>("pauseMs");
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<qint64>("waitMs");
        QTest::newRow("seconds") << 1 << 0LL << QByteArray(" 7 ") << 7000LL;
        QTest::newRow("seconds, capped") << 1 << 0LL << QByteArray("3600") << 120000LL;
        QTest::newRow("date") << 1 << 0LL << QByteArray("Mon, 07 Dec 2026 08:00:30 GMT") << 30000LL;
        QTest::newRow("date passed")
            << 1 << 0LL << QByteArray("Mon, 07 Dec 2026 07:00:00 GMT") << 0LL;
        QTest::newRow("third try, no pause") << 3 << 0LL << QByteArray() << 4000LL;
        QTest::newRow("second try, long pause") << 2 << 1500LL << QByteArray("soon") << 3000LL;
    }
    void retryWait()
    {
        QFETCH(int, tries);
        QFETCH(qint64, pauseMs);
        QFETCH(QByteArray, retryAfter);
        QFETCH(qint64, waitMs);
        const qint64 now =
            QDateTime(QDate(2026, 12, 7), QTime(8, 0), QTimeZone::utc()).toMSecsSinceEpoch();
        QCOMPARE(RetryWaitMilliseconds(tries, pauseMs, retryAfter, now), waitMs);
    }

    void retries_data()
    {
        QTest::addColumn<RetryCase>("c");
        const Reply good{};
        const Reply cut{.fault = ScriptedServer::Fault::Raw, .body = {}, .ending = Ending::Reset};
        // No names, a value that must not reach the file.
        const QByteArray valueOnly =
            "<span class=\"l_item_ex\" data-v>9</span>\n<p>" + QByteArray(80, '-') + "</p>\n";
        const auto busy = [&valueOnly](int seconds) {
            return Reply{.fault = ScriptedServer::Fault::Raw,
                         .body = ScriptedServer::Head(
                                     503, "Retry-After: " + QByteArray::number(seconds) +
                                              "\r\nContent-Length: " +
                                              QByteArray::number(valueOnly.size()) + "\r\n") +
                                 valueOnly};
        };
        const Reply brotli{.fault = ScriptedServer::Fault::Raw,
                           .body = ScriptedServer::Head(200, "Content-Encoding: br\r\n"
                                                             "Content-Length: 4\r\n") +
                                   "abcd"};
        QTest::newRow("cut once") << RetryCase{{cut, good}, 1, {1000}};
        QTest::newRow("cut every time")
            << RetryCase{{cut}, 2, {1000, 2000}, QStringLiteral("这一页共试了 3 次。")};
        QTest::newRow("503 asking for 2 s") << RetryCase{{busy(2), good}, 1, {2000}};
        QTest::newRow("404 not retried") << RetryCase{
            {{.body = {}, .status = 404}}, 2, {}, QStringLiteral("HTTP 404 Not Found")};
        QTest::newRow("other kinds not retried")
            << RetryCase{{brotli}, 2, {}, QStringLiteral("Content-Encoding: br")};
        QTest::newRow("stopped in the wait")
            << RetryCase{{busy(120)}, 3, {120000}, QStringLiteral("导出已在第 2 页"), true};
    }
    void retries()
    {
        QFETCH(RetryCase, c);
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.Script(QList<Reply>{{}} + c.replies);
        // A stop must end even a two-minute wait at once, on the real clock.
        const FastClock fast(100, 0);
        const Clock &clock = c.stopInWait ? static_cast<const Clock &>(SystemClock::Instance())
                                          : static_cast<const Clock &>(fast);
        ExportHarness h(clock);
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.exporter.SetRetries(c.retries);
        h.inputs.toRank = QStringLiteral("40");
        QList<qint64> waits;
        // The wait is timed from the failure, which comes after the page began
        // and before this slot runs; only the page's start bounds it from below.
        qint64 pageStartedAt = 0;
        qint64 waitEnds = 0;
        connect(&h.exporter, &Exporter::retryScheduled, this, [&](qint64 page, int, qint64 ms) {
            QCOMPARE(page, 2);
            waits << ms;
            waitEnds = pageStartedAt + ms;
            if (c.stopInWait)
                h.exporter.Stop();
        });
        connect(&h.exporter, &Exporter::pageStarted, this, [&](qint64) {
            pageStartedAt = clock.MonotonicMilliseconds();
            QVERIFY(pageStartedAt >= waitEnds);
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        QCOMPARE(waits, c.waits);
        QCOMPARE(server.Requests().size(), 2 + (c.stopInWait ? 0 : c.waits.size()));
        QVERIFY2(outcome.completed == c.words.isEmpty(), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(c.words), qPrintable(outcome.message));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), GoodPages(outcome.completed ? 2 : 1));
    }
};

QTEST_GUILESS_MAIN(TestLongRuns)
#include "tst_longruns.moc"
