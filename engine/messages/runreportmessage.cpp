#include "engine/messages/runreportmessage.h"

#include "engine/commit/runtally.h"
#include "engine/messages/durationwords.h"
#include "engine/write/pagerange.h"
#include "platform/cp936.h"

#include <QStringList>
#include <algorithm>

namespace kestrune {

namespace {

// 用时不到 1 秒, 用时 5 秒, 用时 2 分 5 秒, 用时 1 小时 0 分 5 秒.
QString TimeTaken(std::int64_t milliseconds)
{
    const std::int64_t seconds = milliseconds / 1000;
    if (seconds == 0) // "0 秒" reads as if nothing was done
        return QStringLiteral("用时不到 1 秒");
    return QStringLiteral("用时 ") + DurationWords(seconds);
}

// What a list cut short leaves out.
QString NotListed(std::int64_t count, const char16_t *unit)
{
    return count > 0
               ? QStringLiteral("，另有 %1 %2没有列出").arg(count).arg(QString::fromUtf16(unit))
               : QString();
}

// The names a run wrote more than once, each with its numbers in jieguo.txt.
QStringList RepeatedNameLines(const RunReport &report, std::size_t count)
{
    QStringList lines{QStringLiteral("这些名字写了不止一次，可能是导出期间排名有变动：")};
    for (std::size_t at = 0; at < count; ++at) {
        const RepeatedName &repeated = report.repeatedNames[at];
        QStringList numbers;
        for (const std::int64_t number : repeated.numbers)
            numbers << QString::number(number);
        lines << QStringLiteral("%1：编号 %2")
                     .arg(DecodeCp936(QByteArrayView(repeated.name.data(),
                                                     static_cast<qsizetype>(repeated.name.size()))),
                          numbers.join(QStringLiteral("、")));
    }
    return lines;
}

// Whole pages go into jieguo.txt, the ranks asked into the table.
QStringList TableLines(const RunReport &report)
{
    const TableSummary &table = *report.table;
    QStringList lines;
    const std::int64_t first = FirstRankOfPage(report.firstPage);
    const std::int64_t last = LastRankOfPage(report.lastPage);
    if (table.fromRank != first || table.toRank != last)
        lines << QStringLiteral("按整页写入 jieguo.txt：第 %1—%2 名；表格中为第 %3—%4 名")
                     .arg(first)
                     .arg(last)
                     .arg(table.fromRank)
                     .arg(table.toRank);
    if (table.undecodableNames > 0)
        lines << QStringLiteral("%1 个名字含有无法识别的字节").arg(table.undecodableNames);
    return lines;
}

} // namespace

QString CompletionMessage()
{
    return QStringLiteral("导出完成！");
}

QString DescribePages(std::int64_t first, std::int64_t last)
{
    return first == last ? QStringLiteral("第 %1 页").arg(first)
                         : QStringLiteral("第 %1—%2 页").arg(first).arg(last);
}

QString DescribeRunReport(const RunReport &report, std::size_t namesListed)
{
    if (report.firstPage > report.lastPage)
        return QStringLiteral("起始名次所在的第 %1 页在结束名次所在的第 %2 页之后，没有要导出的页")
            .arg(report.firstPage)
            .arg(report.lastPage);
    QStringList lines{QStringLiteral("共 %1 页、%2 个名字，%3")
                          .arg(report.pages)
                          .arg(report.names)
                          .arg(TimeTaken(report.milliseconds))};
    if (report.firstEmptyPage > 0)
        lines << DescribePages(report.firstEmptyPage, report.lastEmptyPage) +
                     QStringLiteral("没有名字");
    if (!report.shortPages.empty()) {
        QStringList pages;
        for (const ShortPage &page : report.shortPages)
            pages << QStringLiteral("第 %1 页（%2 个）").arg(page.page).arg(page.names);
        lines << QStringLiteral("不足 %1 个名字的页：%2%3")
                     .arg(RanksPerPage)
                     .arg(pages.join(QStringLiteral("、")),
                          NotListed(report.shortPagesNotListed, u"页"));
    }
    if (report.retries > 0)
        lines << QStringLiteral("共重试 %1 次").arg(report.retries);
    if (!report.repeatedNames.empty()) {
        const std::size_t listed = std::min(namesListed, report.repeatedNames.size());
        lines << RepeatedNameLines(report, listed);
        if (listed < report.repeatedNames.size())
            lines << QStringLiteral("另有 %1 个名字写了不止一次，见详细信息")
                         .arg(report.repeatedNames.size() - listed);
        else if (report.repeatsNotListed > 0)
            lines << QStringLiteral("另有 %1 行重复的名字没有列出").arg(report.repeatsNotListed);
    }
    if (report.namesForgotten)
        lines << QStringLiteral("名字超过 %1 个，之后的名字没有查重")
                     .arg(RunTally::MaxNamesRemembered);
    if (report.table)
        lines << TableLines(report);
    return lines.join(QLatin1Char('\n'));
}

QString DescribeRepeatedNames(const RunReport &report)
{
    if (report.repeatedNames.empty())
        return {};
    QStringList lines = RepeatedNameLines(report, report.repeatedNames.size());
    if (report.repeatsNotListed > 0)
        lines << QStringLiteral("另有 %1 行重复的名字没有列出").arg(report.repeatsNotListed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrune
