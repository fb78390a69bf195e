#include "compare/summarywords.h"

#include "tables/tablenames.h"

#include <QFileInfo>

namespace kestrune {

namespace {

std::optional<QString> ForumOf(const QString &path)
{
    return ForumOfTableFile(QFileInfo(path).fileName());
}

} // namespace

QString DescribeChanges(const ComparisonSummary &summary)
{
    return QStringLiteral("新进 %1 人，跌出 %2 人，上升 %3 人，下降 %4 人，不变 %5 人")
        .arg(summary.Count(Change::New))
        .arg(summary.Count(Change::Gone))
        .arg(summary.Count(Change::Up))
        .arg(summary.Count(Change::Down))
        .arg(summary.Count(Change::Same));
}

QStringList DescribeComparisonNotes(const ComparisonSummary &summary, const ComparedFiles &files)
{
    QStringList notes;
    const std::optional<QString> olderForum = ForumOf(files.older);
    const std::optional<QString> newerForum = ForumOf(files.newer);
    if (olderForum && newerForum && *olderForum != *newerForum)
        notes << QStringLiteral("注意：两张表格是不同论坛的，旧的是 %1，新的是 %2。")
                     .arg(*olderForum, *newerForum);
    if (const std::int64_t outside = summary.Count(Change::Outside); outside > 0) {
        notes << (summary.commonFirst == 0
                      ? QStringLiteral("两张表格的名次范围不重叠，%1 人只在其中一张里，"
                                       "没有算作新进或跌出。")
                            .arg(outside)
                      : QStringLiteral("另有 %1 人只在一张表格里，名次却在两张共同的范围"
                                       "（第 %2—%3 名）之外，没有算作新进或跌出。")
                            .arg(outside)
                            .arg(summary.commonFirst)
                            .arg(summary.commonLast));
    }
    if (summary.levelsRose > 0 || summary.levelsFell > 0)
        notes << QStringLiteral("等级升高 %1 人，共升 %2 级；等级降低 %3 人。")
                     .arg(summary.levelsRose)
                     .arg(summary.levelsGained)
                     .arg(summary.levelsFell);
    if (summary.repeatedNames > 0)
        notes << QStringLiteral("%1 个会员名在一张表格里出现了不止一次，已按出现的先后一一对应。")
                     .arg(summary.repeatedNames);
    return notes;
}

QStringList DescribeComparison(const ComparisonSummary &summary, const ComparedFiles &files)
{
    QStringList notes = DescribeComparisonNotes(summary, files);
    const bool forumsFirst = !notes.isEmpty() && notes.constFirst().startsWith(u"注意");
    notes.insert(forumsFirst ? 1 : 0, DescribeChanges(summary));
    return notes;
}

} // namespace kestrune
