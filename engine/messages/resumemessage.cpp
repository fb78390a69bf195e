#include "engine/messages/resumemessage.h"

#include "engine/messages/failuremessage.h"

#include <QDir>

namespace kestrune {

namespace {

QString RankRange(const ResumePoint &point)
{
    return QStringLiteral("第 %1—%2 名").arg(point.nextRank).arg(point.toRank);
}

} // namespace

UserMessage DescribeQuitQuestion(std::int64_t firstPage, std::int64_t pagesDone,
                                 std::int64_t resumeRank)
{
    const QString done =
        pagesDone > 0
            ? QStringLiteral("已完成第 %1—%2 页").arg(firstPage).arg(firstPage + pagesDone - 1)
            : QStringLiteral("还没有完成任何一页");
    return {QStringLiteral("导出还没有完成（%1）。现在退出，下次可以从第 %2 名继续。")
                .arg(done)
                .arg(resumeRank)};
}

UserMessage DescribeResumeOffer(const ResumePoint &point, const QString &folder)
{
    return {QStringLiteral("上次的导出没有完成：%1，%2。要接着导出吗？")
                .arg(point.forum, RankRange(point)),
            QStringLiteral("结果文件夹：%1\n下一行的序号：%2")
                .arg(QDir::toNativeSeparators(folder))
                .arg(point.nextNumber)};
}

UserMessage DescribeDropResumeQuestion(const ResumePoint &point)
{
    return {
        QStringLiteral("不再接着上次的导出（%1，%2）了吗？\n"
                       "放弃后就不能从第 %3 名接着导出了；jieguo.txt 和表格里已有的内容不会变。")
            .arg(point.forum, RankRange(point))
            .arg(point.nextRank)};
}

UserMessage DescribeNothingToContinue(const QString &folder)
{
    return {QStringLiteral("没有可以接着的导出：%1 里没有续传记录（%2）。\n"
                           "导出没有完成时才会留下它；导出完成后它会被删除。")
                .arg(QDir::toNativeSeparators(folder), QLatin1String(ResumeFileName))};
}

UserMessage DescribeDropFailed(const RuntimeError &error)
{
    return {QStringLiteral("续传记录没能删除，下次打开时还会问是否接着导出。"),
            DescribeError(error)};
}

UserMessage DescribeResumeProblem(const ResumeProblem &problem)
{
    QString what;
    switch (problem.kind) {
    case ResumeProblem::Kind::CannotRead:
        what = QStringLiteral("上次导出留下的续传记录读不出来");
        break;
    case ResumeProblem::Kind::Damaged:
        what = QStringLiteral("上次导出留下的续传记录已损坏（不完整或被改动过）");
        break;
    case ResumeProblem::Kind::NewerVersion:
        what = QStringLiteral("上次导出留下的续传记录是较新版本的 Kestrune 写的，这个版本读不了");
        break;
    case ResumeProblem::Kind::FolderBusy:
        what = QStringLiteral("另一个 Kestrune 正在这个文件夹里导出，续传记录是它的");
        break;
    case ResumeProblem::Kind::FilesChanged:
        what = QStringLiteral("上次导出停下以后，jieguo.txt 或表格变短了，不能接着导出");
        break;
    }
    return {QStringLiteral("%1，所以没有接着导出。\n记录文件留在原处：%2\n"
                           "要重新导出，直接设置名次后导出即可；不再需要时可以删除这个文件。")
                .arg(what, QDir::toNativeSeparators(problem.path)),
            QString::fromStdString(problem.detail)};
}

} // namespace kestrune
