#include "engine/runreportmessage.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"

#include <QTest>

using namespace kestrune;
using Reply = ScriptedServer::Reply;

namespace {

// A run over the scripted pages and how it ends.
struct Case
{
    QList<Reply> replies{}; // one per page
    QString words{};        // in the error
    qint64 resumeRank = 0;  // 0: the run completes
    QByteArray results{};   // jieguo.txt at the end
    RunReport report{};     // when the run completes, but its time
    int retries = 0;
};

const SampleMember Aaa{1, "AAA", 5};
const SampleMember Bbb{2, "BBB", 17};

} // namespace

Q_DECLARE_METATYPE(Case)

class TestEmptyPages : public QObject
{
    Q_OBJECT

private slots:
    void pagesWithoutNames_data()
    {
        QTest::addColumn<Case>("c");
        const Reply good{};
        // A value without a name, and filler so no field runs into the end.
        const QByteArray valueOnly =
            "<span class=\"l_item_ex\" data-v>9</span>\n<p>" + QByteArray(80, '-') + "</p>\n";
        const Reply empty{.body = valueOnly};
        const QByteArray pageOne = ExpectedResults({Aaa, Bbb}, 1);
        // Every good page holds AAA and BBB: a short page, written again.
        const std::vector<RepeatedName> twice{{"AAA", {1, 3}}, {"BBB", {2, 4}}};
        const QByteArray refused = "HTTP/1.1 503 Back Soon\r\nRetry-After: 30\r\n"
                                   "Content-Length: " +
                                   QByteArray::number(valueOnly.size()) +
                                   "\r\nConnection: close\r\n\r\n" + valueOnly;
        QTest::newRow("refused, values kept")
            << Case{{good, {.fault = ScriptedServer::Fault::Raw, .body = refused}},
                    QStringLiteral("服务器要求 30 秒后再试。\n"
                                   "从第 21 名开始可以继续导出。\n"
                                   "HTTP 503 Back Soon\n"
                                   "地址：http://127.0.0.1:%1/f/like/furank?kw=Henu&pn=2"),
                    21,
                    pageOne + "9\r\n"};
        QTest::newRow("a 404 page with names is a page")
            << Case{{good, {.status = 404}, empty},
                    {},
                    0,
                    ExpectedResults({Aaa, Bbb, Aaa, Bbb}, 1) + "9\r\n",
                    {3, 3, 1, 3, 3, 4, 0, {{1, 2}}, 0, 0, twice}};
        QTest::newRow("retried once") << Case{{good, {.body = {}, .status = 503}, good},
                                              {},
                                              0,
                                              ExpectedResults({Aaa, Bbb, Aaa, Bbb}, 1),
                                              {0, 0, 1, 2, 2, 4, 0, {{1, 2}}, 0, 1, twice},
                                              1};
        QTest::newRow("names after an empty page")
            << Case{{good, empty, good},
                    QStringLiteral("第 2 页（第 21—40 名）没有名字，但后面的第 3 页有，"),
                    21,
                    pageOne + "9\r\n"};
        QTest::newRow("names after empty pages")
            << Case{{good, empty, empty, empty, good},
                    QStringLiteral("第 2—4 页（第 21—80 名）没有名字，但后面的第 5 页有，"),
                    21,
                    pageOne + "9\r\n9\r\n9\r\n"};
        QTest::newRow("refused after an empty page")
            << Case{{good, empty, {.body = {}, .status = 429}},
                    QStringLiteral("HTTP 429 Too Many Requests"),
                    21,
                    pageOne + "9\r\n"};
        QTest::newRow("empty pages at the end")
            << Case{{good, empty, empty}, {}, 0, pageOne + "9\r\n9\r\n", {2, 3, 1, 3, 3, 2}};
        QTest::newRow("every page has names") << Case{{good}, {}, 0, pageOne, {0, 0, 1, 1, 1, 2}};
        // From rank 100 to 0: pages 5 to 1.
        QTest::newRow("nothing to fetch") << Case{{}, {}, 0, {}, {0, 0, 5, 1}};
    }
    void pagesWithoutNames()
    {
        QFETCH(Case, c);
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.Script(c.replies);
        const FastClock fast(100, 0); // a retry waits a second
        ExportHarness h(fast);
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.exporter.SetRetries(c.retries);
        h.inputs.toRank = QString::number(20 * (c.replies.size() - c.retries));
        if (c.replies.isEmpty())
            h.inputs.fromRank = QStringLiteral("100");
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        QCOMPARE(outcome.completed, c.resumeRank == 0);
        if (outcome.completed) {
            RunReport report = outcome.report;
            report.milliseconds = 0;
            QVERIFY2(report == c.report, qPrintable(DescribeRunReport(report)));
        } else {
            const QString words =
                c.words.contains(QLatin1String("%1")) ? c.words.arg(server.Port()) : c.words;
            QVERIFY2(outcome.message.contains(words), qPrintable(outcome.message));
            QCOMPARE(outcome.failure.resumeRank, c.resumeRank);
        }
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), c.results);
    }
};

QTEST_GUILESS_MAIN(TestEmptyPages)
#include "tst_emptypages.moc"
