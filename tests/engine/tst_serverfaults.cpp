#include "expectedresults.h"
#include "exportharness.h"
#include "scriptedserver.h"

#include <QElapsedTimer>
#include <QTest>

using namespace kestrune;
using Fault = ScriptedServer::Fault;

namespace {

// What page 1 (the scripted good page) appends.
const QByteArray PageOneLines = " 1     AAA              5\r\n"
                                " 2     BBB              17\r\n";
const QByteArray PageTwoLines = " 3     AAA              5\r\n"
                                " 4     BBB              17\r\n";

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // empty: the run completes
        QTest::addColumn<QByteArray>("pageTwoResults");
        QTest::addColumn<QByteArray>("pageFile");

        const QByteArray good = ScriptedServer::GoodPage();
        const QByteArray stored = good + "\r\n";
        const QString timedOut = QStringLiteral("请求超时");
        const QString network = QStringLiteral("网络错误");
        const QString pastEnd = QStringLiteral("输入超出文件尾");
        QTest::newRow("never answers") << Fault::NeverAnswer << QByteArray() << 200 << timedOut
                                       << QByteArray() << QByteArray("\r\n");
        QTest::newRow("headers then stall") << Fault::HeadersThenStall << QByteArray() << 200
                                            << timedOut << QByteArray() << QByteArray("\r\n");
        QTest::newRow("drips a byte every 100 ms")
            << Fault::DripBytes << QByteArray() << 200 << timedOut << QByteArray()
            << QByteArray("\r\n");
        QTest::newRow("streams forever")
            << Fault::StreamForever << QByteArray() << 200 << QStringLiteral("16 MiB")
            << QByteArray() << QByteArray();
        QTest::newRow("over 16 MiB") << Fault::Oversized << QByteArray() << 200
                                     << QStringLiteral("16 MiB") << QByteArray() << QByteArray();
        QTest::newRow("reset mid-body") << Fault::ResetMidBody << QByteArray() << 200 << network
                                        << QByteArray() << QByteArray();
        QTest::newRow("404 with body")
            << Fault::Status << good << 404 << QString() << PageTwoLines << stored;
        QTest::newRow("500 with body")
            << Fault::Status << good << 500 << QString() << PageTwoLines << stored;
        QTest::newRow("404 without body") << Fault::Status << QByteArray() << 404 << pastEnd
                                          << QByteArray() << QByteArray("\r\n");
        QTest::newRow("500 without body") << Fault::Status << QByteArray() << 500 << pastEnd
                                          << QByteArray() << QByteArray("\r\n");
        QTest::newRow("empty 200") << Fault::Status << QByteArray() << 200 << pastEnd
                                   << QByteArray() << QByteArray("\r\n");
        QTest::newRow("chunked") << Fault::Chunked << good << 200 << QString() << PageTwoLines
                                 << stored;
        QTest::newRow("gzip") << Fault::Gzip << good << 200 << QString() << PageTwoLines << stored;
        QTest::newRow("redirect to page 1")
            << Fault::Redirect << QByteArray() << 200 << QString() << PageTwoLines << stored;

        // Short bodies end in filler, so no field read runs into the file's end.
        const QByteArray filler = "<p>" + QByteArray(80, '-') + "</p>\n";
        // Bytes are kept as they came, whatever their encoding.
        const QByteArray utf8 = "<a username=\"u\">\xE4\xB8\xAD\xE6\x96\x87</a>"
                                "<span class=\"l_item_ex\" data-v>3</span>\n" +
                                filler;
        QTest::newRow("utf-8 body")
            << Fault::Status << utf8 << 200 << QString()
            << QByteArray(" 3     \xE4\xB8\xAD\xE6\x96\x87           3\r\n") << utf8 + "\r\n";
        // A lead byte takes the "<" after it into the name; one at the very end
        // pairs with the stored CR.
        const QByteArray invalid = "<a username=\"q\">A\x81<B</a>"
                                   "<span class=\"l_item_ex\" data-v>7</span>" +
                                   filler + "\x81";
        QTest::newRow("invalid pairs, lead byte last")
            << Fault::Status << invalid << 200 << QString()
            << QByteArray(" 3     A\x81<B             7\r\n") << invalid + "\r\n";
        // A run never leaves its last line open.
        const QByteArray nameOnly = "<a username=\"q\">ZZZ</a>\n" + filler;
        QTest::newRow("name without value")
            << Fault::Status << nameOnly << 200 << QString()
            << QByteArray(" 3     ZZZ              \r\n") << nameOnly + "\r\n";
        const QByteArray broken = nameOnly + "username=" + QByteArray(60, 'x') + "\n";
        QTest::newRow("scan error after a name")
            << Fault::Status << broken << 200 << QStringLiteral("无效的过程调用或参数")
            << QByteArray(" 3     ZZZ              \r\n") << broken + "\r\n";
    }

    void faults()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QByteArray, pageTwoResults);
        QFETCH(QByteArray, pageFile);

        ScriptedServer server;
        QVERIFY(server.Listen());
        server.SetFault(fault, body, status);
        ExportHarness h;
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.inputs.toRank = QStringLiteral("40");

        QElapsedTimer pageTwo;
        connect(&h.exporter, &Exporter::pageStarted, this, [&pageTwo](qint64 page) {
            if (page == 2)
                pageTwo.start();
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        if (error.isEmpty()) {
            QVERIFY2(outcome.completed, qPrintable(outcome.message));
        } else {
            QVERIFY(!outcome.completed);
            QVERIFY2(outcome.message.contains(error), qPrintable(outcome.message));
            QVERIFY(outcome.message.contains(QStringLiteral("第 2 页（第 21—40 名）")));
            QVERIFY(outcome.message.contains(QStringLiteral("从第 21 名")));
        }
        // The timeout rule allows 3 to 4 s; the upper bound leaves room for a
        // busy machine.
        const qint64 elapsed = pageTwo.elapsed();
        QVERIFY2(elapsed < 6000, qPrintable(QString::number(elapsed)));
        if (error == QStringLiteral("请求超时"))
            QVERIFY2(elapsed >= 3000, qPrintable(QString::number(elapsed)));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), PageOneLines + pageTwoResults);
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), pageFile);
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
