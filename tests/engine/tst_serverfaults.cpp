#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"

#include <QTest>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace kestrune;
using Fault = ScriptedServer::Fault;
using Ending = ScriptedServer::Ending;

namespace {

// What page 1 (the scripted good page) appends.
const QByteArray PageOneLines = " 1     AAA              5\r\n"
                                " 2     BBB              17\r\n";
const QByteArray PageTwoLines = " 3     AAA              5\r\n"
                                " 4     BBB              17\r\n";

// Wine turns a reset that follows data into a clean end of stream, which
// for a body that ends with the connection looks complete; Windows does not.
bool ResetLooksLikeClose()
{
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

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
        QTest::addColumn<Ending>("ending"); // for Raw replies

        const QByteArray good = ScriptedServer::GoodPage();
        const QByteArray stored = good + "\r\n";
        const QString timedOut = QStringLiteral("请求超时");
        const QString network = QStringLiteral("网络错误");
        const QString pastEnd = QStringLiteral("输入超出文件尾");
        const QByteArray lineEnd = "\r\n";
        const auto row = [](const char *name, Fault fault, const QByteArray &body, int status,
                            const QString &error, const QByteArray &results = {},
                            const QByteArray &pageFile = {}, Ending ending = Ending::Close) {
            QTest::newRow(name) << fault << body << status << error << results << pageFile
                                << ending;
        };
        row("never answers", Fault::NeverAnswer, {}, 200, timedOut, {}, lineEnd);
        row("headers then stall", Fault::HeadersThenStall, {}, 200, timedOut, {}, lineEnd);
        row("drips a byte every 100 ms", Fault::DripBytes, {}, 200, timedOut, {}, lineEnd);
        row("streams forever", Fault::StreamForever, {}, 200, QStringLiteral("16 MiB"));
        row("over 16 MiB", Fault::Oversized, {}, 200, QStringLiteral("16 MiB"));
        row("reset mid-body", Fault::ResetMidBody, {}, 200, network);
        row("404 without body", Fault::Status, {}, 404, pastEnd, {}, lineEnd);
        row("500 without body", Fault::Status, {}, 500, pastEnd, {}, lineEnd);
        row("empty 200", Fault::Status, {}, 200, pastEnd, {}, lineEnd);
        // Any status with a whole page is a page, a 3xx without Location too.
        for (const int status : {400, 404, 407, 418, 500, 302})
            row(qPrintable(QStringLiteral("%1 with a page").arg(status)), Fault::Status, good,
                status, {}, PageTwoLines, stored);

        // Short bodies end in filler, so no field read runs into the file's end.
        const QByteArray filler = "<p>" + QByteArray(80, '-') + "</p>\n";
        // Bytes are kept as they came, whatever their encoding.
        const QByteArray utf8 = "<a username=\"u\">\xE4\xB8\xAD\xE6\x96\x87</a>"
                                "<span class=\"l_item_ex\" data-v>3</span>\n" +
                                filler;
        row("utf-8 body", Fault::Status, utf8, 200, {},
            " 3     \xE4\xB8\xAD\xE6\x96\x87           3\r\n", utf8 + "\r\n");
        // A lead byte takes the "<" after it into the name; one at the very end
        // pairs with the stored CR.
        const QByteArray invalid = "<a username=\"q\">A\x81<B</a>"
                                   "<span class=\"l_item_ex\" data-v>7</span>" +
                                   filler + "\x81";
        row("invalid pairs, lead byte last", Fault::Status, invalid, 200, {},
            " 3     A\x81<B             7\r\n", invalid + "\r\n");
        // A run never leaves its last line open.
        const QByteArray nameOnly = ScriptedServer::PageEndingOnAName();
        const QByteArray openLine = " 3     ZZZ              \r\n";
        row("name without value", Fault::Status, nameOnly, 200, {}, openLine, nameOnly + "\r\n");
        const QByteArray broken = nameOnly + "username=" + QByteArray(60, 'x') + "\n";
        row("scan error after a name", Fault::Status, broken, 200,
            QStringLiteral("无效的过程调用或参数"), openLine, broken + "\r\n");

        // Replies written byte for byte: cut, reset, compressed, flooded.
        const auto raw = [&row](const char *name, const QByteArray &reply, Ending ending,
                                const QString &error, const QByteArray &results = {},
                                const QByteArray &pageFile = {}) {
            row(name, Fault::Raw, reply, 200, error, results, pageFile, ending);
        };
        const auto head = [](int status, const QByteArray &headers) {
            return ScriptedServer::Head(status, headers);
        };
        const auto length = [](const QByteArray &body) {
            return "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        };
        const QString cutShort = QStringLiteral("连接中断");
        const QString inflate = QStringLiteral("解压失败");
        const QString tooLarge = QStringLiteral("16 MiB");
        const QByteArray gzipped = ScriptedServer::Gzip(good);
        const QByteArray gzipHead = head(200, length(gzipped) + "Content-Encoding: gzip\r\n");
        const QByteArray halfGzip = gzipped.left(gzipped.size() / 2);
        raw("gzip", gzipHead + gzipped, Ending::Close, {}, PageTwoLines, stored);
        raw("gzip cut short, clean close", gzipHead + halfGzip, Ending::Close, cutShort);
        raw("gzip cut short, reset", gzipHead + halfGzip, Ending::Reset, cutShort);
        raw("identity cut short, clean close", head(200, length(good)) + good.left(good.size() / 2),
            Ending::Close, cutShort);
        raw("close-delimited, reset mid-body", head(200, {}) + good.left(good.size() / 2),
            Ending::Reset, cutShort);
        QByteArray chunked = head(200, "Transfer-Encoding: chunked\r\n");
        for (qsizetype at = 0; at < good.size(); at += 7)
            chunked +=
                QByteArray::number(good.mid(at, 7).size(), 16) + "\r\n" + good.mid(at, 7) + "\r\n";
        raw("chunked", chunked + "0\r\n\r\n", Ending::Close, {}, PageTwoLines, stored);
        raw("chunked without its last chunk", chunked, Ending::Close, cutShort);
        raw("redirect to page 1",
            head(302, "Location: /f/like/furank?kw=Henu&pn=1\r\nContent-Length: 0\r\n"),
            Ending::Close, {}, PageTwoLines, stored);
        const QByteArray zeros(20 * 1024 * 1024, '\0');
        const QByteArray gzipBomb = ScriptedServer::Gzip(zeros);
        raw("gzip bomb", head(200, length(gzipBomb) + "Content-Encoding: gzip\r\n") + gzipBomb,
            Ending::Close, tooLarge);
        const QByteArray zlibBomb = ScriptedServer::Deflate(zeros, false);
        raw("deflate bomb",
            head(200, length(zlibBomb) + "Content-Encoding: deflate\r\n") + zlibBomb, Ending::Close,
            tooLarge);
        const QByteArray bareBomb = ScriptedServer::Deflate(zeros, true);
        raw("bare deflate bomb",
            head(200, length(bareBomb) + "Content-Encoding: deflate\r\n") + bareBomb, Ending::Close,
            tooLarge);
        QByteArray corrupt = gzipped;
        for (qsizetype at = corrupt.size() / 2; at < corrupt.size() - 8; ++at)
            corrupt[at] = static_cast<char>(corrupt[at] ^ 0x5A);
        raw("gzip turning corrupt halfway", gzipHead + corrupt, Ending::Close, inflate);
        raw("not gzip at all", head(200, length(good) + "Content-Encoding: gzip\r\n") + good,
            Ending::Close, inflate);
        raw("gzip stream shorter than its length promised",
            head(200, length(halfGzip) + "Content-Encoding: gzip\r\n") + halfGzip, Ending::Close,
            inflate);
        const QByteArray trailing = gzipped + "junk";
        raw("bytes after the gzip stream",
            head(200, length(trailing) + "Content-Encoding: gzip\r\n") + trailing, Ending::Close,
            inflate);
        const QByteArray zlibPage = ScriptedServer::Deflate(good, false);
        raw("deflate", head(200, length(zlibPage) + "Content-Encoding: deflate\r\n") + zlibPage,
            Ending::Close, {}, PageTwoLines, stored);
        const QByteArray barePage = ScriptedServer::Deflate(good, true);
        raw("bare deflate",
            head(200, length(barePage) + "Content-Encoding: deflate\r\n") + barePage, Ending::Close,
            {}, PageTwoLines, stored);
        raw("an encoding never asked for",
            head(200, length(good) + "Content-Encoding: br\r\n") + good, Ending::Close,
            QStringLiteral("未请求过的内容编码 br"));
        // The largest page there may be, far more compressible than 40:1.
        const QByteArray fullPage = good + QByteArray(PageFetcher::MaxBodyBytes - good.size(), ' ');
        const QByteArray fullGzip = ScriptedServer::Gzip(fullPage);
        raw("16 MiB of spaces, gzip",
            head(200, length(fullGzip) + "Content-Encoding: gzip\r\n") + fullGzip, Ending::Close,
            {}, PageTwoLines, fullPage + "\r\n");
        raw("204 with a length", head(204, "Content-Length: 100\r\n"), Ending::Stay, pastEnd, {},
            "\r\n");
        raw("304 with a length", head(304, "Content-Length: 100\r\n"), Ending::Stay, pastEnd, {},
            "\r\n");
        QByteArray flood;
        for (int i = 0; i < 100000; ++i)
            flood += "X-Flood-" + QByteArray::number(i) + ": x\r\n";
        raw("100,000 headers", head(200, flood), Ending::Stay, QStringLiteral("回应头超过"));
        raw("a 2 MB header line", head(200, "X-Long: " + QByteArray(2 << 20, 'h') + "\r\n"),
            Ending::Stay, QStringLiteral("回应头的一行过长"));
    }

    void faults()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QByteArray, pageTwoResults);
        QFETCH(QByteArray, pageFile);
        QFETCH(Ending, ending);

        if (ending == Ending::Reset && !body.contains("Content-Length") && ResetLooksLikeClose())
            QSKIP("Wine reports this reset as a clean close");
        ScriptedServer server;
        QVERIFY(server.Listen());
        if (fault == Fault::Raw)
            server.SetRaw(body, ending);
        else
            server.SetFault(fault, body, status);
        // Timeouts run a hundred times faster, sent just before a second
        // ends, where the rule's wait is shortest (the exporter's test keeps
        // one on the real clock). Other rows never wait for the clock and
        // keep real time for the server's own pace.
        const bool timeout = error == QStringLiteral("请求超时");
        const FastClock fast(100, 999);
        const Clock &clock = timeout ? static_cast<const Clock &>(fast)
                                     : static_cast<const Clock &>(SystemClock::Instance());
        ExportHarness h(clock);
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.inputs.toRank = QStringLiteral("40");

        qint64 pageTwoStarted = 0;
        connect(&h.exporter, &Exporter::pageStarted, this, [&](qint64 page) {
            if (page == 2)
                pageTwoStarted = clock.MonotonicMilliseconds();
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        if (error.isEmpty()) {
            QVERIFY2(outcome.completed, qPrintable(outcome.message));
        } else {
            QVERIFY(!outcome.completed);
            QCOMPARE(outcome.failure.cause, ExportFailure::Cause::PageFailed);
            const QString what = DescribeError(*outcome.failure.error);
            QVERIFY2(what.contains(error), qPrintable(what));
            QCOMPARE(outcome.failure.page, 2);
            QCOMPARE(outcome.failure.resumeRank, 21);
        }
        // The timeout rule allows 3 to 4 s. Only the lower bound is checked:
        // a busy machine can stretch any wait, the timeout's length is the
        // clock's own unit test, and a hang ends in the harness's guard.
        const qint64 elapsed = clock.MonotonicMilliseconds() - pageTwoStarted;
        if (timeout)
            QVERIFY2(elapsed >= 3000, qPrintable(QString::number(elapsed)));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), PageOneLines + pageTwoResults);
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), pageFile);
    }

    // Cookies a server pushes are neither kept nor sent back.
    void cookieFloodIsIgnored()
    {
        QByteArray cookies;
        for (int i = 0; i < 40; ++i)
            cookies += "Set-Cookie: c" + QByteArray::number(i) + "=" + QByteArray(4000, 'c') +
                       "; Path=/\r\n";
        const QByteArray good = ScriptedServer::GoodPage();
        ScriptedServer server;
        QVERIFY(server.Listen());
        server.SetRaw(ScriptedServer::Head(200, cookies + "Content-Length: " +
                                                    QByteArray::number(good.size()) + "\r\n") +
                          good,
                      Ending::Close);
        ExportHarness h;
        h.exporter.SetHost(QStringLiteral("127.0.0.1:%1").arg(server.Port()));
        h.inputs.toRank = QStringLiteral("100");
        const RunOutcome outcome = h.Run();
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(server.Requests().size(), 5);
        for (const QByteArray &request : server.Requests())
            QVERIFY2(!request.toLower().contains("cookie:"), request.constData());
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
