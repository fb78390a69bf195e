#include "engine/exportfailure.h"

#include <QTest>

using namespace kestrune;
using Cause = ExportFailure::Cause;

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

        ExportFailure ranks;
        ranks.cause = Cause::UnreadableRanks;
        ranks.error = RuntimeError(ErrorKind::TypeMismatch, {});
        QTest::newRow("unreadable ranks") << ranks << "排名无法读出，导出没有开始：类型不匹配。";

        ExportFailure busy;
        busy.cause = Cause::DirectoryBusy;
        busy.lockOwner = 4242;
        QTest::newRow("directory busy")
            << busy
            << "这个目录中已有另一个导出在进行（kestrune.lock 属于进程 4242），"
               "这次导出没有开始，没有动任何文件。";

        ExportFailure first;
        first.error = RuntimeError(ErrorKind::NetworkError, "连接中断：reset；http://h:80/f");
        first.page = first.firstPage = 3;
        first.lastPage = 9;
        first.resumeRank = 41;
        QTest::newRow("first page")
            << first
            << "第 3 页（第 41—60 名）出错：网络错误（连接中断：reset；http://h:80/f）。\n"
               "这次导出还没有完成任何一页。\n"
               "从第 41 名开始可以继续导出。";

        ExportFailure scan;
        scan.error = RuntimeError(ErrorKind::InvalidArgument, "名字后面没有“<”", 113);
        scan.page = 2;
        scan.firstPage = 1;
        scan.lastPage = 5;
        scan.namesWritten = 20;
        scan.namesOnPage = 7;
        scan.resumeRank = 21;
        scan.closeError = RuntimeError(ErrorKind::FileError, "jieguo.txt：No space left on device");
        QTest::newRow("scan error after names, line not closed")
            << scan
            << "第 2 页（第 21—40 名）出错：无效的过程调用或参数（名字后面没有“<”，temp.txt 第 113 "
               "字节）。\n"
               "已完成第 1—1 页，共 20 个名字，已保存在 jieguo.txt。\n"
               "第 2 页出错前已写入 7 个名字；从第 21 名继续时，这些名字会再写一次。\n"
               "从第 21 名开始可以继续导出。\n"
               "另外，结束未完的一行时出错：文件错误（jieguo.txt：No space left on device）。";

        ExportFailure stopped;
        stopped.cause = Cause::Stopped;
        stopped.page = 4;
        stopped.firstPage = 1;
        stopped.namesWritten = 60;
        stopped.resumeRank = 61;
        QTest::newRow("stopped") << stopped
                                 << "导出已在第 4 页（第 61—80 名）停止。\n"
                                    "已完成第 1—3 页，共 60 个名字，已保存在 jieguo.txt。\n"
                                    "从第 61 名开始可以继续导出。";

        ExportFailure last;
        last.cause = Cause::LastLineEnd;
        last.error = RuntimeError(ErrorKind::FileError, "jieguo.txt：No space left on device");
        last.firstPage = 1;
        last.page = last.lastPage = 2;
        last.namesWritten = 40;
        last.resumeRank = 41;
        QTest::newRow("closing the last line")
            << last
            << "第 1—2 页都已导出，共 40 个名字，已保存在 jieguo.txt；但给最后一行补上行尾时出错："
               "文件错误（jieguo.txt：No space left on device）。\n"
               "从第 41 名开始可以继续导出。";
    }
    void sentences()
    {
        QFETCH(ExportFailure, failure);
        QFETCH(QString, message);
        QCOMPARE(DescribeFailure(failure), message);
    }
};

QTEST_GUILESS_MAIN(TestExportFailure)
#include "tst_exportfailure.moc"
