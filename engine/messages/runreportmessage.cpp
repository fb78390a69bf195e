#include "engine/messages/runreportmessage.h"

#include "engine/messages/durationwords.h"
#include "engine/run/runtally.h"
#include "engine/write/pagerange.h"
#include "platform/cp936.h"

#include <QStringList>

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

QString DescribeRunReport(const RunReport &report)
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
        lines << QStringLiteral(
            "会员排名在导出期间有变动，这些名字写了不止一次（这次写入的第几行）：");
        for (const RepeatedName &repeated : report.repeatedNames) {
            QStringList numbers;
            for (const std::int64_t line : repeated.lines)
                numbers << QString::number(line);
            lines << QStringLiteral("%1：第 %2 行")
                         .arg(DecodeCp936(
                                  QByteArrayView(repeated.name.data(),
                                                 static_cast<qsizetype>(repeated.name.size()))),
                              numbers.join(QStringLiteral("、")));
        }
        if (report.repeatsNotListed > 0)
            lines << QStringLiteral("另有 %1 行重复的名字没有列出").arg(report.repeatsNotListed);
    }
    if (report.namesForgotten)
        lines << QStringLiteral("名字超过 %1 个，之后的名字没有查重")
                     .arg(RunTally::MaxNamesRemembered);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrune
