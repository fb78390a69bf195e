#include "engine/fetch/requestaddress.h"
#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "tests/support/qtprint.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

using Cause = ExportFailure::Cause;
using Kind = FetchFailure::Kind;

// The hints the command line gives.
const SettingHints Hints{.forumAddress = QStringLiteral("用 --host 指定"),
                         .caFile = QStringLiteral("用 --ca-file 指定"),
                         .timeout = QStringLiteral("用 --timeout 指定秒数"),
                         .otherFolder = QStringLiteral("先用 cd 进入那个文件夹"),
                         .retries = QStringLiteral("加上 --retries"),
                         .resume = QStringLiteral("从第 %1 名开始可以继续导出，命令见下。")};

QString PathOf(const ExportFailure &failure, const char *name)
{
    return QDir::toNativeSeparators(QDir(failure.directory).absoluteFilePath(QLatin1String(name)));
}

// English stays in the detail: the text may name only paths, the forum's
// address, what the user typed, options and commands, GBK and the CA 证书文件.
QString EnglishIn(QString text, const ExportFailure &failure)
{
    if (failure.input)
        text.remove(failure.input->text);
    if (!failure.host.isEmpty())
        text.remove(DisplayForumAddress(failure.host));
    for (const char *name : {"jieguo.txt", "temp.txt"})
        text.remove(PathOf(failure, name));
    text.remove(QDir::toNativeSeparators(QDir(failure.directory).absolutePath()));
    text.remove(QRegularExpression(QStringLiteral("--[a-z-]+|https://|CA |GBK| cd ")));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) ? text : QString();
}

// A failure, words its text holds in this order (RESULTS, TEMP, LOCK and
// FOLDER stand for the paths) and its detail: what each message fills in,
// where the hint goes, and what its lines promise.
struct Message
{
    const char *name;
    ExportFailure failure;
    QStringList text;
    const char *detail = nullptr; // none: not checked here
};

// On page 1 of a run, or on page 2 after page 1's 20 names.
ExportFailure OnPage(std::int64_t page, ExportFailure failure)
{
    failure.page = page;
    failure.firstPage = 1;
    failure.namesWritten = 20 * (page - 1);
    failure.resumeRank = 20 * page - 19;
    return failure;
}

// The messages both programs show, checked once here; the other tests
// compare the failure's fields.
TEST(ExportFailureTest, Messages)
{
    const RuntimeError diskFull("jieguo.txt", "磁盘空间不足", FileFault::DiskFull);
    const QByteArray page3 = "http://xn--kfsr23j.xn--fiqs8s/f/like/furank?kw=Henu&pn=3";
    // A box that cannot be used, before a run and during one.
    const auto bad = [](InputBox box, InputProblem::Kind kind, const char16_t *text,
                        const char16_t *character = u"") {
        return InputProblem{box, kind, QString::fromUtf16(text), QString::fromUtf16(character)};
    };
    using Input = InputProblem::Kind;
    const auto badInput = [](const InputProblem &input) {
        return ExportFailure{.cause = Cause::BadInput, .input = input};
    };
    const Message cases[] = {
        {"forum name beyond GBK",
         badInput(bad(InputBox::ForumName, Input::NotInCodePage, u"Henu😀", u"😀")),
         {"“论坛名”中的“Henu😀”含有“😀”", "\n导出没有开始，", "\n请在“论坛名”中删去“😀”"},
         "无效的过程调用或参数（论坛名中有 GBK 无法表示的字符 U+1F600）"},
        {"from rank letters",
         badInput(bad(InputBox::FromRank, Input::NotANumber, u"abc")),
         {"“起始名次”中的“abc”不是数字。", "请在“起始名次”中填一个整数，例如 1。"},
         "类型不匹配（“abc” 不是数字）"},
        {"to rank empty",
         badInput(bad(InputBox::ToRank, Input::NotANumber, u" ")),
         {"“结束名次”是空的。", "例如 2000。"}},
        {"to rank too large",
         badInput(bad(InputBox::ToRank, Input::TooLarge, u"1e400")),
         {"“结束名次”中的“1e400”超出了范围。", "1 到 2147483648 之间"},
         "溢出（“1e400” 超出数值范围）"},
        {"delay beyond a float",
         badInput(bad(InputBox::Delay, Input::TooLarge, u"1e40")),
         {"“停顿”中的“1e40”超出了范围。", "通常在 0 到 20 之间"},
         "溢出（数值超出单精度范围）"},
        {"forum name edited during a run",
         OnPage(2, {.input = bad(InputBox::ForumName, Input::NotInCodePage, u"河大😀", u"😀")}),
         {"“论坛名”中的“河大😀”含有“😀”",
          "\n导出已在第 2 页（第 21—40 名）停止。\n"
          "已完成第 1 页，共 20 个名字，已保存在 RESULTS。\n请在“论坛名”中删去“😀”",
          "\n从第 21 名开始可以继续导出，命令见下。"}},
        {"directory busy",
         {.cause = Cause::DirectoryBusy, .lockOwner = 4242},
         {"文件夹 FOLDER 中已有另一个导出", "没有改动任何文件", "（先用 cd 进入那个文件夹）"},
         "LOCK 属于进程 4242"},
        {"no lock",
         {.cause = Cause::NoLock},
         {"无法在文件夹 FOLDER 中写入文件，这次导出没有开始。", "（先用 cd 进入那个文件夹）"},
         "文件错误（无法创建 LOCK）"},
        {"host not found, named as typed",
         {.fetch = FetchFailure{Kind::HostNotFound, "Could not resolve host", page3},
          .page = 3,
          .firstPage = 3,
          .resumeRank = 41,
          .host = QStringLiteral("http://xn--kfsr23j.xn--fiqs8s:80/")},
         {"下载第 3 页（第 41—60 名）时，找不到论坛地址 论坛.中国 所指的主机。",
          "还没有完成任何一页（结果文件：RESULTS）", "论坛.中国 是否写对（用 --host 指定）"},
         "网络错误（Could not resolve host）\n"
         "地址：http://论坛.中国/f/like/furank?kw=Henu&pn=3"},
        {"timed out after retries",
         OnPage(2, {.fetch = FetchFailure{Kind::TimedOut, "5", "http://h:8080/f"}, .tries = 3}),
         {"超过 5 秒", "（用 --timeout 指定秒数）"},
         "请求超时（5 秒）\n地址：http://h:8080/f\n这一页共试了 3 次。"},
        {"refused with a wait asked for",
         OnPage(1, {.fetch = FetchFailure{.kind = Kind::HttpStatus,
                                          .address = "http://forum.test/f",
                                          .status = 503,
                                          .reason = "Service Unavailable",
                                          .retryAfter = "120"},
                    .host = QStringLiteral("forum.test")}),
         {"论坛 forum.test 拒绝了请求（状态码 503）",
          "太忙或限制了下载的频率：调大停顿，稍后再继续，或加上 --retries。服务器要求 120 "
          "秒后再试。"},
         "HTTP 503 Service Unavailable\n地址：http://forum.test/f"},
        {"answered with nothing",
         OnPage(3, {.fetch = FetchFailure{.kind = Kind::EmptyAnswer,
                                          .address = "http://forum.test/f",
                                          .status = 204,
                                          .reason = "No Content"},
                    .host = QStringLiteral("forum.test")}),
         {"下载第 3 页（第 41—60 名）时，论坛 forum.test 什么也没有发回。\n"
          "已完成第 1—2 页，共 40 个名字，已保存在 RESULTS。\n"
          "多半是论坛服务器一时出错：稍后再继续，或加上 --retries；"},
         "HTTP 204 No Content（0 字节）\n地址：http://forum.test/f"},
        // Retries were on: more of them is no advice.
        {"refused after retries",
         OnPage(2, {.fetch = FetchFailure{.kind = Kind::HttpStatus, .status = 429}, .tries = 3}),
         {"调大停顿，稍后再继续。\n从第 21 名"}},
        {"scan error after names, line not closed",
         OnPage(2, {.error = RuntimeError(ErrorKind::InvalidArgument, "名字后面没有“<”", 113),
                    .namesOnPage = 7,
                    .closeError = diskFull}),
         {"导出第 2 页（第 21—40 名）时，这一页的内容格式不对",
          "第 2 页出错前已写入 7 个名字；从第 21 名继续时"},
         "无效的过程调用或参数（名字后面没有“<”，temp.txt 第 113 字节）\n"
         "另外，给未完的一行补上行尾时出错：文件错误（jieguo.txt：磁盘空间不足）。"},
        {"read-only results file",
         OnPage(1, {.error = RuntimeError("jieguo.txt", "拒绝访问", FileFault::AccessDenied)}),
         {"结果文件 RESULTS 是只读的", "（先用 cd 进入那个文件夹）"},
         "文件错误（jieguo.txt：拒绝访问）"},
        {"page file refused",
         OnPage(1, {.error = RuntimeError("temp.txt", "是符号链接", FileFault::Other)}),
         {"无法使用临时文件 TEMP。"}},
        {"stopped",
         OnPage(4, {.cause = Cause::Stopped}),
         {"导出已在第 4 页（第 61—80 名）停止。\n已完成第 1—3 页，共 60 个名字"},
         ""},
        {"names after empty pages",
         OnPage(2, {.cause = Cause::NamesAfterGap, .lastEmptyPage = 3}),
         {"第 2—3 页（第 21—60 名）没有名字，但后面的第 4 页有，所以第 4 页没有写入。",
          "这几页会重新下载"},
         ""},
        // Page 3 would come next.
        {"closing the last line",
         OnPage(3, {.cause = Cause::LastLineEnd, .error = diskFull, .lastPage = 2}),
         {"第 1—2 页都已导出，共 40 个名字，已保存在 RESULTS；",
          "磁盘空间不足，无法写入结果文件 RESULTS。\n腾出磁盘空间后再继续。\n从第 41 名开始"}},
    };
    for (Message m : cases) {
        SCOPED_TRACE(m.name);
        m.failure.directory = QStringLiteral("/home/a");
        const ExportFailure &failure = m.failure;
        const auto fill = [&failure](QString words) {
            return words.replace(QLatin1String("RESULTS"), PathOf(failure, "jieguo.txt"))
                .replace(QLatin1String("TEMP"), PathOf(failure, "temp.txt"))
                .replace(QLatin1String("LOCK"), PathOf(failure, "kestrune.lock"))
                .replace(QLatin1String("FOLDER"),
                         QDir::toNativeSeparators(QDir(failure.directory).absolutePath()));
        };
        const UserMessage message = DescribeFailure(failure, Hints);
        qsizetype at = 0;
        for (const QString &words : m.text) {
            at = message.text.indexOf(fill(words), at);
            EXPECT_GE(at, 0) << message.text.toStdString() << "\n" << fill(words).toStdString();
        }
        if (m.detail) {
            EXPECT_EQ(message.detail, fill(QString::fromUtf8(m.detail)));
        }
        EXPECT_EQ(EnglishIn(message.text, failure), QString());
    }
}

// Every way a page cannot be taken is told in the user's words, the
// lower layer's own words and the address kept for the detail.
TEST(ExportFailureTest, EveryFetchFailure)
{
    for (int k = 0; k <= static_cast<int>(Kind::Other); ++k) {
        const auto kind = static_cast<Kind>(k);
        // A timeout's words are its seconds.
        const QString words = QLatin1String(kind == Kind::TimedOut ? "5" : "lower words");
        const ExportFailure failure{.fetch = FetchFailure{kind, words, "http://h:8080/f"},
                                    .page = 2,
                                    .firstPage = 1,
                                    .resumeRank = 21,
                                    .host = QStringLiteral("h:8080"),
                                    .directory = QStringLiteral("/home/a")};
        const UserMessage message = DescribeFailure(failure, Hints);
        EXPECT_EQ(EnglishIn(message.text, failure), QString());
        EXPECT_EQ(message.text.count(QLatin1Char('\n')), 3) << message.text.toStdString();
        EXPECT_TRUE(message.detail.contains(QLatin1String("http://h:8080/f")))
            << message.detail.toStdString();
    }
}

// A report with everything to tell, a run too short to time, and one with
// nothing to fetch.
TEST(ExportFailureTest, RunReports)
{
    RunReport report{3, 4, 1, 4, 4, 42, 65'500, {{1, 19}, {2, 3}}, 7, 2};
    report.repeatedNames = {{"\xd5\xc5\xc8\xfd", {5, 22}}, {"b", {6, 7}}, {"c", {8, 9}}};
    report.namesForgotten = true;
    report.table = TableSummary{.fromRank = 5, .toRank = 70, .undecodableNames = 3};
    EXPECT_EQ(
        DescribeRunReport(report, 1),
        QStringLiteral("共 4 页、42 个名字，用时 1 分 5 秒\n"
                       "第 3—4 页没有名字\n"
                       "不足 20 个名字的页：第 1 页（19 个）、第 2 页（3 个），另有 7 页没有列出\n"
                       "共重试 2 次\n"
                       "这些名字写了不止一次，可能是导出期间排名有变动：\n"
                       "张三：编号 5、22\n"
                       "另有 2 个名字写了不止一次，见详细信息\n"
                       "名字超过 1000000 个，之后的名字没有查重\n"
                       "按整页写入 jieguo.txt：第 1—80 名；表格中为第 5—70 名\n"
                       "3 个名字含有无法识别的字节"));
    EXPECT_EQ(DescribeRepeatedNames(report),
              QStringLiteral("这些名字写了不止一次，可能是导出期间排名有变动：\n"
                             "张三：编号 5、22\nb：编号 6、7\nc：编号 8、9"));
    EXPECT_EQ(DescribeRunReport(
                  {.firstPage = 1, .lastPage = 3, .pages = 3, .names = 60, .milliseconds = 900}),
              QStringLiteral("共 3 页、60 个名字，用时不到 1 秒"));
    EXPECT_EQ(DescribeRunReport({0, 0, 5, 1}),
              QStringLiteral("起始名次所在的第 5 页在结束名次所在的第 1 页之后，没有要导出的页"));
}

} // namespace
} // namespace kestrune
