#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"

#include <QTest>

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

} // namespace

class TestLongRuns : public QObject
{
    Q_OBJECT

private slots:
    // A kept connection the server drops before answering the next request
    // costs that request nothing, however often it happens in a run.
    void droppedKeptConnections_data()
    {
        QTest::addColumn<QList<Reply>>("cycle");
        const Reply kept{.keepAlive = true};
        QTest::newRow("closed after every answer")
            << QList<Reply>{kept, {.fault = ScriptedServer::Fault::Raw, .body = {}}};
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
};

QTEST_GUILESS_MAIN(TestLongRuns)
#include "tst_longruns.moc"
