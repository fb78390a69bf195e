#include "engine/exportfailure.h"

#include <QTest>

using namespace kestrune;
using Cause = ExportFailure::Cause;
using Kind = FetchFailure::Kind;

Q_DECLARE_METATYPE(FetchFailure)

// The sentences both programs show, checked once here; the other tests
// compare the failure's fields.
class TestExportFailure : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data()
    {
        QTest::addColumn<ExportFailure>("failure");
        QTest::addColumn<QString>("message");

        const auto row = [](const char *name, const ExportFailure &failure, const char *message) {
            QTest::newRow(name) << failure << QString::fromUtf8(message);
        };
        const RuntimeError diskFull(ErrorKind::FileError, "jieguo.txt：No space left on device");
        // A box that cannot be used, before a run and during one.
        const auto bad = [](InputBox box, InputProblem::Kind kind, const char16_t *text,
                            const char16_t *character = u"") {
            return InputProblem{box, kind, QString::fromUtf16(text), QString::fromUtf16(character)};
        };
        using Input = InputProblem::Kind;
        row("forum name beyond GBK",
            {.cause = Cause::BadInput,
             .input = bad(InputBox::ForumName, Input::NotInCodePage, u"Henu😀", u"😀")},
            "“论坛名”中的“Henu😀”含有“😀”，这个字符不在简体中文 GBK 字符集中；"
            "论坛名只能使用 GBK 中有的字符。\n"
            "导出没有开始，没有下载或改动任何文件。\n"
            "请在“论坛名”中删去“😀”，或换成 GBK 中有的字符。");
        row("from rank letters",
            {.cause = Cause::BadInput, .input = bad(InputBox::FromRank, Input::NotANumber, u"abc")},
            "“起始名次”中的“abc”不是数字。\n"
            "导出没有开始，没有下载或改动任何文件。\n"
            "请在“起始名次”中填一个整数，例如 1。");
        row("to rank empty",
            {.cause = Cause::BadInput, .input = bad(InputBox::ToRank, Input::NotANumber, u" ")},
            "“结束名次”是空的。\n"
            "导出没有开始，没有下载或改动任何文件。\n"
            "请在“结束名次”中填一个整数，例如 2000。");
        row("to rank too large",
            {.cause = Cause::BadInput, .input = bad(InputBox::ToRank, Input::TooLarge, u"1e400")},
            "“结束名次”中的“1e400”超出了范围。\n"
            "导出没有开始，没有下载或改动任何文件。\n"
            "请在“结束名次”中填一个 1 到 2147483648 之间的整数。");
        row("delay beyond a float",
            {.cause = Cause::BadInput, .input = bad(InputBox::Delay, Input::TooLarge, u"1e40")},
            "“停顿”中的“1e40”超出了范围。\n"
            "导出没有开始，没有下载或改动任何文件。\n"
            "请在“停顿”中填以十分之一秒计的停顿，例如 10 即 1 秒，通常在 0 到 20 之间；"
            "更大的数也可以，但不能超过约 3.4×10^39。");
        row("forum name edited during a run",
            {.input = bad(InputBox::ForumName, Input::NotInCodePage, u"河大😀", u"😀"),
             .page = 2,
             .firstPage = 1,
             .namesWritten = 20,
             .resumeRank = 21},
            "“论坛名”中的“河大😀”含有“😀”，这个字符不在简体中文 GBK 字符集中；"
            "论坛名只能使用 GBK 中有的字符。\n"
            "导出已在第 2 页（第 21—40 名）停止。\n"
            "已完成第 1 页，共 20 个名字，已保存在 jieguo.txt。\n"
            "请在“论坛名”中删去“😀”，或换成 GBK 中有的字符。\n"
            "从第 21 名开始可以继续导出。");
        row("directory busy", {.cause = Cause::DirectoryBusy, .lockOwner = 4242},
            "这个目录中已有另一个导出在进行（kestrune.lock 属于进程 4242），"
            "这次导出没有开始，没有动任何文件。");
        row("first page",
            {.fetch = FetchFailure{Kind::CutShort, "reset", "http://h/f"},
             .page = 3,
             .firstPage = 3,
             .resumeRank = 41},
            "第 3 页（第 41—60 名）出错：网络错误（连接中断：reset；http://h:80/f）。\n"
            "这次导出还没有完成任何一页。\n"
            "从第 41 名开始可以继续导出。");
        row("scan error after names, line not closed",
            {.error = RuntimeError(ErrorKind::InvalidArgument, "名字后面没有“<”", 113),
             .page = 2,
             .firstPage = 1,
             .namesWritten = 20,
             .namesOnPage = 7,
             .resumeRank = 21,
             .closeError = diskFull},
            "第 2 页（第 21—40 名）出错：无效的过程调用或参数（名字后面没有“<”，temp.txt 第 113 "
            "字节）。\n"
            "已完成第 1 页，共 20 个名字，已保存在 jieguo.txt。\n"
            "第 2 页出错前已写入 7 个名字；从第 21 名继续时，这些名字会再写一次。\n"
            "从第 21 名开始可以继续导出。\n"
            "另外，结束未完的一行时出错：文件错误（jieguo.txt：No space left on device）。");
        row("stopped",
            {.cause = Cause::Stopped,
             .page = 4,
             .firstPage = 1,
             .namesWritten = 60,
             .resumeRank = 61},
            "导出已在第 4 页（第 61—80 名）停止。\n"
            "已完成第 1—3 页，共 60 个名字，已保存在 jieguo.txt。\n"
            "从第 61 名开始可以继续导出。");
        row("closing the last line",
            {.cause = Cause::LastLineEnd,
             .error = diskFull,
             .page = 2,
             .firstPage = 1,
             .lastPage = 2,
             .namesWritten = 40,
             .resumeRank = 41},
            "第 1—2 页都已导出，共 40 个名字，已保存在 jieguo.txt；但给最后一行补上行尾时出错："
            "文件错误（jieguo.txt：No space left on device）。\n"
            "从第 41 名开始可以继续导出。");
    }
    void sentences()
    {
        QFETCH(ExportFailure, failure);
        QFETCH(QString, message);
        QCOMPARE(DescribeFailure(failure), message);
    }

    // A report with everything to tell, and one with nothing to fetch.
    void runReports()
    {
        RunReport report{3, 4, 1, 4, 4, 42, 65'500, {{1, 19}, {2, 3}}, 7, 2};
        report.repeatedNames = {{"\xd5\xc5\xc8\xfd", {5, 22}}};
        report.namesForgotten = true;
        QCOMPARE(DescribeRunReport(report),
                 QStringLiteral(
                     "共 4 页、42 个名字，用时 1 分 5 秒\n"
                     "第 3—4 页没有名字\n"
                     "不足 20 个名字的页：第 1 页（19 个）、第 2 页（3 个），另有 7 页没有列出\n"
                     "共重试 2 次\n"
                     "排名在导出期间有变动，这些名字写了不止一次（这次写入的第几行）：\n"
                     "张三：第 5、22 行\n"
                     "名字超过 1000000 个，之后的名字没有查重"));
        QCOMPARE(
            DescribeRunReport({0, 0, 5, 1}),
            QStringLiteral("起始名次所在的第 5 页在结束名次所在的第 1 页之后，没有要导出的页"));
    }

    // Every kind of fetch failure in words, and whether a retry may help.
    void fetchFailures_data()
    {
        QTest::addColumn<FetchFailure>("failure");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("transient");
        const auto row =
            [](Kind kind, const char *reason, bool transient = false, const char *detail = "w") {
                const QString name =
                    QString::fromUtf16(kind == Kind::TimedOut ? u"请求超时" : u"网络错误");
                QTest::newRow(reason)
                    << FetchFailure{kind, QString::fromUtf8(detail), "https://h/f?pn=2"}
                    << QStringLiteral("%1（%2；https://h:443/f?pn=2）")
                           .arg(name, QString::fromUtf8(reason))
                    << transient;
            };
        // The words of each kind are a table in the code; these rows cover
        // each way a sentence is put together.
        row(Kind::TimedOut, "超过 5 秒没有收到完整的回应", true, "5");
        row(Kind::Refused, "无法连接：w", true);
        row(Kind::CutShort, "连接中断：w", true);
        row(Kind::HostNotFound, "找不到主机：w");
        row(Kind::BodyTooLarge, "回应超过 16 MiB");
        row(Kind::Other, "回应无效：w");
    }
    void fetchFailures()
    {
        QFETCH(FetchFailure, failure);
        QFETCH(QString, message);
        QFETCH(bool, transient);
        QCOMPARE(DescribeFetchFailure(failure), message);
        QCOMPARE(IsTransient(failure.kind), transient);
    }
};

QTEST_GUILESS_MAIN(TestExportFailure)
#include "tst_exportfailure.moc"
