#include "engine/messages/runreportmessage.h"
#include "tests/support/compression.h"
#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"
#include "tests/support/scriptedserver.h"

#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace kestrune;
using Fault = ScriptedServer::Fault;
using Ending = ScriptedServer::Ending;
using Reply = ScriptedServer::Reply;
using Kind = FetchFailure::Kind;

namespace {

// The replies after page 1's good one, and how a run of pages 1-2 ends.
struct Case
{
    QList<Reply> replies{};
    std::optional<Kind> fetch{};      // the page could not be taken
    std::optional<ErrorKind> error{}; // the page was taken, then this
    QByteArray results{};             // what page 2 appends to jieguo.txt
    QByteArray pageFile{};            // temp.txt at the end
    bool onlyResetTells = false;      // the body has no length: a reset ends it
};

// Short bodies end in filler, so no field read runs into the file's end.
const QByteArray Filler = "<p>" + QByteArray(80, '-') + "</p>\n";
// A value without a name, which must not reach the file.
const QByteArray ValueOnly = "<span class=\"l_item_ex\" data-v>9</span>\n" + Filler;

// A 503 that asks for a wait, on a page without names.
Reply Busy(int seconds, const QByteArray &reason = "Service Unavailable")
{
    return {.fault = Fault::Raw,
            .body = "HTTP/1.1 503 " + reason + "\r\nRetry-After: " + QByteArray::number(seconds) +
                    "\r\nContent-Length: " + QByteArray::number(ValueOnly.size()) +
                    "\r\nConnection: close\r\n\r\n" + ValueOnly};
}

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

// A run over the scripted pages, one reply a request (a retry takes the
// next), and how it ends: completed, or on page 2 or a gap that starts there.
struct RunCase
{
    QList<Reply> replies{};
    int retries = 0;
    qint64 toRank = 40;
    QList<qint64> waits{};             // told before each retry, in ms of the clock
    QString words{};                   // in the error; none: the run completes
    QByteArray results{};              // jieguo.txt at the end
    std::optional<RunReport> report{}; // but its time
    bool stopInWait = false;
    qint64 pages = 1; // the report's 共 N 页, however the run ended
};

// The good page's two members on each of `pages` pages, numbered from 1.
QByteArray GoodPages(int pages)
{
    QList<SampleMember> members;
    for (int page = 0; page < pages; ++page)
        members += {{1, "AAA", 5}, {2, "BBB", 17}};
    return ExpectedResults(members, 1);
}

} // namespace

Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(RunCase)

class TestServerFaults : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<Case>("c");
        const auto row = [](const char *name, const Case &c) {
            QTest::newRow(name) << c;
        };
        // A page that timed out is stored empty; one refused is not stored.
        const auto fails = [&row](const char *name, const QList<Reply> &replies, Kind kind) {
            row(name, {.replies = replies,
                       .fetch = kind,
                       .pageFile = kind == Kind::TimedOut ? "\r\n" : QByteArray()});
        };
        const auto takes = [&row](const char *name, const QList<Reply> &replies,
                                  const QByteArray &page) {
            row(name, {.replies = replies, .results = GoodLines(3), .pageFile = page + "\r\n"});
        };
        const auto page = [](const QByteArray &body, int status = 200) {
            return QList<Reply>{{.body = body, .status = status}};
        };
        // Written byte for byte: cut, reset, compressed, flooded.
        const auto raw = [](const QByteArray &reply, Ending ending = Ending::Close) {
            return QList<Reply>{{.fault = Fault::Raw, .body = reply, .ending = ending}};
        };
        const auto head = &ScriptedServer::Head;
        const auto length = [](const QByteArray &body) {
            return "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        };
        const auto encoded = [head, &length](const char *encoding, const QByteArray &body) {
            return head(200, length(body) + "Content-Encoding: " + encoding + "\r\n") + body;
        };
        const auto gzip = [](const QByteArray &body) {
            return QByteArray::fromStdString(Compress(body.toStdString(), Wrapper::Gzip));
        };
        const QByteArray good = GoodPage();

        fails("never answers", raw({}, Ending::Stay), Kind::TimedOut);
        fails("drips a byte every 100 ms", {{.fault = Fault::DripBytes}}, Kind::TimedOut);
        // Cut off at the limit, not read to an end that never comes.
        fails("no length, over 16 MiB, left open",
              raw(head(200, {}) + QByteArray(PageFetcher::MaxBodyBytes + 1, 'x'), Ending::Stay),
              Kind::BodyTooLarge);
        // A page without names stops the run: on its status outside 2xx (the
        // table of retries and empty pages below), on a 2xx with nothing in
        // it, else on a scan error.
        row("200 without body",
            {.replies = page({}, 200), .fetch = Kind::EmptyAnswer, .pageFile = "\r\n"});
        // Any status with a whole page is a page, a 3xx without Location too.
        for (const int status : {404, 407, 302})
            takes(qPrintable(QStringLiteral("%1 with a page").arg(status)), page(good, status),
                  good);

        // Bytes are kept as they came, whatever their encoding.
        const QByteArray utf8 = "<a username=\"u\">\xE4\xB8\xAD\xE6\x96\x87</a>"
                                "<span class=\"l_item_ex\" data-v>3</span>\n" +
                                Filler;
        row("utf-8 body", {.replies = page(utf8),
                           .results = " 3     \xE4\xB8\xAD\xE6\x96\x87           3\r\n",
                           .pageFile = utf8 + "\r\n"});
        // A run never leaves its last line open.
        const QByteArray nameOnly = ScriptedServer::PageEndingOnAName();
        const QByteArray openLine = " 3     ZZZ              \r\n";
        row("name without value",
            {.replies = page(nameOnly), .results = openLine, .pageFile = nameOnly + "\r\n"});
        const QByteArray broken = nameOnly + "username=" + QByteArray(60, 'x') + "\n";
        row("scan error after a name", {.replies = page(broken),
                                        .error = ErrorKind::InvalidArgument,
                                        .results = openLine,
                                        .pageFile = broken + "\r\n"});

        // The decoder's own cases are its unit test's; here one of each outcome.
        const QByteArray gzipped = gzip(good);
        const QByteArray halfPage = good.left(good.size() / 2);
        takes("gzip", raw(encoded("gzip", gzipped)), good);
        fails("cut short, clean close", raw(head(200, length(good)) + halfPage), Kind::CutShort);
        // Without a length only the reset tells the body is not whole.
        row("close-delimited, reset mid-body",
            {.replies = raw(head(200, {}) + halfPage, Ending::Reset),
             .fetch = Kind::CutShort,
             .onlyResetTells = true});
        QByteArray chunked = head(200, "Transfer-Encoding: chunked\r\n");
        for (qsizetype at = 0; at < good.size(); at += 7)
            chunked +=
                QByteArray::number(good.mid(at, 7).size(), 16) + "\r\n" + good.mid(at, 7) + "\r\n";
        takes("chunked", raw(chunked + "0\r\n\r\n"), good);
        fails("chunked without its last chunk", raw(chunked), Kind::CutShort);
        const auto redirect = [head](const char *page, const QByteArray &headers = {}) {
            return head(302, "Location: /f/like/furank?kw=Henu&pn=" + QByteArray(page) +
                                 "\r\nContent-Length: 0\r\n" + headers);
        };
        fails("redirected in a loop", raw(redirect("2")), Kind::TooManyRedirects);
        QByteArray cookies;
        for (int i = 0; i < 40; ++i)
            cookies += "Set-Cookie: c" + QByteArray::number(i) + "=" + QByteArray(4000, 'c') +
                       "; Path=/\r\n";
        takes("a flood of cookies on a redirect", raw(redirect("2", cookies)) + page(good), good);
        fails("not gzip at all", raw(encoded("gzip", good)), Kind::CorruptCompression);
        fails("gzip stream shorter than its length promised",
              raw(encoded("gzip", gzipped.left(gzipped.size() / 2))), Kind::UnfinishedCompression);
        fails("bytes after the gzip stream", raw(encoded("gzip", gzipped + "junk")),
              Kind::TrailingBytes);
        fails("an encoding never asked for", raw(encoded("br", good)), Kind::UnaskedEncoding);
        const QByteArray oversized(PageFetcher::MaxBodyBytes + 1, 'y');
        fails("over 16 MiB", raw(head(200, length(oversized)) + oversized), Kind::BodyTooLarge);
        // The largest page there may be, far more compressible than 40:1.
        const QByteArray fullPage = good + QByteArray(PageFetcher::MaxBodyBytes - good.size(), ' ');
        takes("16 MiB of spaces, gzip", raw(encoded("gzip", gzip(fullPage))), fullPage);
        row("204 with a length",
            {.replies = raw(head(204, "Content-Length: 100\r\n"), Ending::Stay),
             .fetch = Kind::EmptyAnswer,
             .pageFile = "\r\n"});
        row("304 with a length",
            {.replies = raw(head(304, "Content-Length: 100\r\n"), Ending::Stay),
             .fetch = Kind::HttpStatus,
             .pageFile = "\r\n"});
        QByteArray flood;
        for (int i = 0; i < 100000; ++i)
            flood += "X-Flood-" + QByteArray::number(i) + ": x\r\n";
        fails("100,000 headers", raw(head(200, flood), Ending::Stay), Kind::HeadersTooLarge);
        fails("a 2 MB header line",
              raw(head(200, "X-Long: " + QByteArray(2 << 20, 'h') + "\r\n"), Ending::Stay),
              Kind::HeaderLineTooLong);
    }

    void faults()
    {
        QFETCH(Case, c);
        if (c.onlyResetTells && ResetLooksLikeClose())
            QSKIP("Wine reports this reset as a clean close");
        ScriptedServer server;
        QVERIFY(server.Listen(QList<Reply>{{}} + c.replies));
        // Timeouts run a hundred times faster, sent just before a second
        // ends, where the rule's wait is shortest (the exporter's test keeps
        // one on the real clock). Other rows never wait for the clock and
        // keep real time for the server's own pace.
        const bool timeout = c.fetch == Kind::TimedOut;
        const FastClock fast(100, 999);
        const Clock &clock = timeout ? static_cast<const Clock &>(fast)
                                     : static_cast<const Clock &>(SystemClock::Instance());
        ExportHarness h(clock);
        h.exporter.SetHost(LocalHost(server.Port()));
        h.exporter.SetTimeoutSeconds(5); // --timeout 5: 5 to 6 s
        h.inputs.toRank = QStringLiteral("40");

        qint64 pageTwoStarted = 0;
        connect(&h.exporter, &Exporter::pageStarted, this, [&](qint64 page) {
            if (page == 2)
                pageTwoStarted = clock.MonotonicMilliseconds();
        });
        const RunOutcome outcome = h.Run();
        QVERIFY(outcome.finished);
        const QByteArray message = outcome.message.toUtf8();
        const ExportFailure &failure = outcome.failure;
        QVERIFY2(outcome.completed == (!c.fetch && !c.error), message.constData());
        QVERIFY(outcome.completed || (failure.cause == ExportFailure::Cause::PageFailed &&
                                      failure.page == 2 && failure.resumeRank == 21));
        if (c.fetch)
            QVERIFY2(failure.fetch && failure.fetch->kind == *c.fetch &&
                         failure.fetch->address.endsWith("&pn=2"),
                     message.constData());
        if (c.error)
            QVERIFY2(failure.error && failure.error->Kind() == *c.error, message.constData());
        // The timeout rule allows 5 to 6 s here. Only the lower bound is checked:
        // a busy machine can stretch any wait, the timeout's length is the
        // clock's own unit test, and a hang ends in the harness's guard.
        const qint64 elapsed = clock.MonotonicMilliseconds() - pageTwoStarted;
        if (timeout) {
            QVERIFY2(elapsed >= 5000, qPrintable(QString::number(elapsed)));
            QCOMPARE(failure.fetch->detail, QStringLiteral("5")); // the seconds allowed
        }
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), GoodLines() + c.results);
        QCOMPARE(FileBytes(h.FilePath(PageFileName)), c.pageFile);
        // Cookies a server pushes are neither kept nor sent back.
        for (const QByteArray &request : server.Requests())
            QVERIFY2(!request.toLower().contains("\ncookie:"), request.constData());
    }

    // A kept connection the server drops before answering the next request
    // costs that request nothing, however often it happens in a run.
    void droppedKeptConnections_data()
    {
        QTest::addColumn<QList<Reply>>("cycle");
        const Reply kept{.ending = Ending::Stay, .keepAlive = true};
        QTest::newRow("closed when the next request comes")
            << QList<Reply>{kept, {.fault = Fault::Raw, .body = {}}};
        QTest::newRow("closed right after every answer")
            << QList<Reply>{{.ending = Ending::Close, .keepAlive = true}};
        QTest::newRow("every third kept request reset")
            << QList<Reply>{kept, kept, {.fault = Fault::Raw, .body = {}, .ending = Ending::Reset}};
    }
    void droppedKeptConnections()
    {
        QFETCH(QList<Reply>, cycle);
        QList<Reply> script;
        while (script.size() < 400)
            script += cycle;
        ScriptedServer server;
        QVERIFY(server.Listen(script));
        ExportHarness h;
        h.exporter.SetHost(LocalHost(server.Port()));
        h.inputs.toRank = QStringLiteral("2000");
        const RunOutcome outcome = h.Run(60000);
        QVERIFY2(outcome.completed, qPrintable(outcome.message));
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), GoodPages(100));
    }

    // Pages refused, cut or without names: retried as asked, or where the run
    // can carry on from.
    void retriesAndEmptyPages_data()
    {
        QTest::addColumn<RunCase>("c");
        const Reply good{};
        const Reply empty{.body = ValueOnly};
        const Reply cut{.fault = Fault::Raw, .body = {}, .ending = Ending::Reset};
        const Reply brotli{.fault = Fault::Raw,
                           .body = ScriptedServer::Head(200, "Content-Encoding: br\r\n"
                                                             "Content-Length: 4\r\n") +
                                   "abcd"};
        const QByteArray pageOne = GoodLines();
        const QByteArray pagesOneTwo = GoodLines() + GoodLines(3);
        // Every good page holds AAA and BBB: a short page, written again.
        const std::vector<RepeatedName> twice{{"AAA", {1, 3}}, {"BBB", {2, 4}}};
        // The server's own reason reaches the message.
        QTest::newRow("refused, values kept") << RunCase{.replies = {good, Busy(30, "Back Soon")},
                                                         .words = "HTTP 503 Back Soon",
                                                         .results = pageOne + "9\r\n"};
        QTest::newRow("names after empty pages")
            << RunCase{.replies = {good, empty, empty, empty, good},
                       .toRank = 100,
                       .words = "第 2—4 页（第 21—80 名）没有名字，但后面的第 5 页有，",
                       .results = pageOne + "9\r\n9\r\n9\r\n",
                       .pages = 4};
        QTest::newRow("refused after an empty page")
            << RunCase{.replies = {good, empty, {.body = {}, .status = 429}},
                       .toRank = 60,
                       .words = "HTTP 429 Too Many Requests",
                       .results = pageOne + "9\r\n",
                       .pages = 2};
        QTest::newRow("empty pages at the end") << RunCase{.replies = {good, empty, empty},
                                                           .toRank = 60,
                                                           .results = pageOne + "9\r\n9\r\n",
                                                           .report = RunReport{2, 3, 1, 3, 3, 2},
                                                           .pages = 3};
        QTest::newRow("every page has names") << RunCase{.replies = {good},
                                                         .toRank = 20,
                                                         .results = pageOne,
                                                         .report = RunReport{0, 0, 1, 1, 1, 2}};
        // From rank 100 to 0: pages 5 to 1, and no file touched.
        QTest::newRow("nothing to fetch")
            << RunCase{.toRank = 0, .report = RunReport{0, 0, 5, 1}, .pages = 0};
        QTest::newRow("empty page retried")
            << RunCase{.replies = {good, {.body = {}, .status = 503}, good},
                       .retries = 1,
                       .waits = {1000},
                       .results = pagesOneTwo,
                       .report = RunReport{0, 0, 1, 2, 2, 4, 0, {{1, 2}}, 0, 1, twice},
                       .pages = 2};
        QTest::newRow("answered with nothing once")
            << RunCase{.replies = {good, {.body = {}, .status = 204}, good},
                       .retries = 1,
                       .waits = {1000},
                       .results = pagesOneTwo,
                       .pages = 2};
        QTest::newRow("answered with nothing")
            << RunCase{.replies = {good, {.body = {}, .status = 204}},
                       .words = "什么也没有发回",
                       .results = pageOne};
        QTest::newRow("timed out")
            << RunCase{.replies = {good, {.fault = Fault::Raw, .body = {}, .ending = Ending::Stay}},
                       .words = "请求超时",
                       .results = pageOne};
        QTest::newRow("cut once") << RunCase{.replies = {good, cut, good},
                                             .retries = 1,
                                             .waits = {1000},
                                             .results = pagesOneTwo,
                                             .pages = 2};
        QTest::newRow("cut every time") << RunCase{.replies = {good, cut, cut, cut},
                                                   .retries = 2,
                                                   .waits = {1000, 2000},
                                                   .words = "这一页共试了 3 次。",
                                                   .results = pageOne};
        QTest::newRow("503 asking for 2 s") << RunCase{.replies = {good, Busy(2), good},
                                                       .retries = 1,
                                                       .waits = {2000},
                                                       .results = pagesOneTwo,
                                                       .pages = 2};
        QTest::newRow("other kinds not retried") << RunCase{.replies = {good, brotli},
                                                            .retries = 2,
                                                            .words = "Content-Encoding: br",
                                                            .results = pageOne};
        QTest::newRow("stopped in the wait") << RunCase{.replies = {good, Busy(120)},
                                                        .retries = 3,
                                                        .waits = {120000},
                                                        .words = "导出已在第 2 页",
                                                        .results = pageOne,
                                                        .stopInWait = true};
    }
    void retriesAndEmptyPages()
    {
        QFETCH(RunCase, c);
        ScriptedServer server;
        QVERIFY(server.Listen(c.replies));
        // A stop must end even a two-minute wait at once, on the real clock;
        // elsewhere a retry waits a second.
        const FastClock fast(100, 0);
        const Clock &clock = c.stopInWait ? static_cast<const Clock &>(SystemClock::Instance())
                                          : static_cast<const Clock &>(fast);
        ExportHarness h(clock);
        h.exporter.SetHost(LocalHost(server.Port()));
        h.exporter.SetRetries(c.retries);
        // Only a row's silent page times out, however busy the machine.
        h.exporter.SetTimeoutSeconds(PageFetcher::MaxTimeoutSeconds);
        h.inputs.toRank = QString::number(c.toRank);
        if (c.replies.isEmpty())
            h.inputs.fromRank = QStringLiteral("100");
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
        // A retry asks again; a stop in its wait does not.
        QCOMPARE(server.Requests().size(), c.replies.size());
        QVERIFY2(outcome.completed == c.words.isEmpty(), qPrintable(outcome.message));
        QVERIFY2(outcome.message.contains(c.words), qPrintable(outcome.message));
        QVERIFY(outcome.completed || outcome.failure.resumeRank == 21);
        // The pages the run went past, the same way whatever ended it.
        QCOMPARE((outcome.completed ? outcome.report : outcome.failure.report).pages, c.pages);
        if (c.report) {
            RunReport report = outcome.report;
            report.milliseconds = 0;
            // A page reaches the table exactly when it reaches jieguo.txt.
            const QString table = QString::fromStdU16String(report.table->path.u16string());
            QCOMPARE(FileBytes(table).count("\r\n") - 1, report.names);
            report.table.reset();
            QVERIFY2(report == *c.report, qPrintable(DescribeRunReport(report)));
        }
        QCOMPARE(FileBytes(h.FilePath(ResultsFileName)), c.results);
        QCOMPARE(QFile::exists(h.FilePath(PageFileName)), !c.replies.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_serverfaults.moc"
