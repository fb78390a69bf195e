#include "engine/exportfailure.h"

#include "engine/exportfiles.h"
#include "engine/pagefetcher.h"
#include "engine/pagerange.h"
#include "engine/requestaddress.h"
#include "engine/runtally.h"
#include "platform/cp936.h"

#include <QStringList>

namespace kestrune {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// 第 5 页, or 第 5—7 页.
QString Pages(std::int64_t first, std::int64_t last)
{
    return first == last ? QStringLiteral("第 %1 页").arg(first)
                         : QStringLiteral("第 %1—%2 页").arg(first).arg(last);
}

QString PageAndRanks(std::int64_t page)
{
    return QStringLiteral("第 %1 页（第 %2—%3 名）")
        .arg(page)
        .arg(FirstRankOfPage(page))
        .arg(LastRankOfPage(page));
}

// 第 2 页, or 第 2—4 页, with the ranks they hold.
QString PagesAndRanks(std::int64_t first, std::int64_t last)
{
    if (first == last)
        return PageAndRanks(first);
    return QStringLiteral("第 %1—%2 页（第 %3—%4 名）")
        .arg(first)
        .arg(last)
        .arg(FirstRankOfPage(first))
        .arg(LastRankOfPage(last));
}

// The wait a server asked for, in seconds or until an HTTP date.
QString RetryAfterLine(const QByteArray &value)
{
    bool seconds = false;
    value.toLongLong(&seconds);
    return seconds ? QStringLiteral("服务器要求 %1 秒后再试。").arg(QString::fromLatin1(value))
                   : QStringLiteral("服务器要求在 %1 之后再试。").arg(QString::fromLatin1(value));
}

// 5 秒, 2 分 5 秒, 1 小时 0 分 5 秒.
QString Duration(std::int64_t milliseconds)
{
    const std::int64_t seconds = milliseconds / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 小时 %2 分 %3 秒")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60)
        .arg(seconds % 60);
}

// What a list cut short leaves out.
QString NotListed(std::int64_t count, const char16_t *unit)
{
    return count > 0
               ? QStringLiteral("，另有 %1 %2没有列出").arg(count).arg(QString::fromUtf16(unit))
               : QString();
}

QString ResumeLine(std::int64_t rank)
{
    return QStringLiteral("从第 %1 名开始可以继续导出。").arg(rank);
}

// What went wrong, in the user's words; the lower layer's own words follow.
QString FetchReason(const FetchFailure &failure)
{
    using Kind = FetchFailure::Kind;
    const auto with = [&failure](const char16_t *what) {
        return QString::fromUtf16(what) + QStringLiteral("：") + failure.detail;
    };
    switch (failure.kind) {
    case Kind::TimedOut:
        return QStringLiteral("超过 %1 秒没有收到完整的回应").arg(failure.detail);
    case Kind::Refused:
        return with(u"无法连接");
    case Kind::CutShort:
        return with(u"连接中断");
    case Kind::HostNotFound:
        return with(u"找不到主机");
    case Kind::BadAddress:
        return with(u"地址无效");
    case Kind::HeadersTooLarge:
        return QStringLiteral("回应无效：回应头超过 %1 KiB").arg(PageFetcher::MaxHeaderKiB);
    case Kind::HeaderLineTooLong:
        return QStringLiteral("回应无效：回应头的一行过长");
    case Kind::UnaskedEncoding:
        return QStringLiteral("回应无效：未请求过的内容编码 %1").arg(failure.detail);
    case Kind::CorruptCompression:
        return QStringLiteral("解压失败：压缩数据无效");
    case Kind::TrailingBytes:
        return QStringLiteral("解压失败：压缩数据之后还有多余的字节");
    case Kind::UnfinishedCompression:
        return QStringLiteral("解压失败：压缩数据在回应结束时还没有结束");
    case Kind::BodyTooLarge:
        return QStringLiteral("回应超过 %1 MiB").arg(PageFetcher::MaxBodyMiB);
    case Kind::CertificateExpired:
        return with(u"证书已过期");
    case Kind::CertificateNotYetValid:
        return with(u"证书尚未生效");
    case Kind::CertificateUntrusted:
        return with(u"证书不是受信任的机构签发的");
    case Kind::CertificateWrongName:
        return with(u"证书与主机名不符");
    case Kind::CertificateInvalid:
        return with(u"证书无效");
    case Kind::TlsFailed:
        return with(u"TLS 连接失败");
    case Kind::InsecureRedirect:
        return QStringLiteral("拒绝重定向：从 https 转到不加密的 %1").arg(failure.detail);
    case Kind::TooManyRedirects:
        return QStringLiteral("重定向超过 %1 次").arg(PageFetcher::MaxRedirects);
    case Kind::CouldNotStart:
        return with(u"无法开始请求");
    case Kind::HttpStatus:
        return QStringLiteral("HTTP %1 %2")
            .arg(failure.status)
            .arg(QString::fromLatin1(failure.reason))
            .trimmed();
    case Kind::Other:
        break;
    }
    return with(u"回应无效");
}

QString DescribeOnPage(const ExportFailure &failure)
{
    const QString where = PageAndRanks(failure.page);
    QStringList lines;
    if (failure.cause == ExportFailure::Cause::Stopped)
        lines << QStringLiteral("导出已在%1停止。").arg(where);
    else if (failure.cause == ExportFailure::Cause::NamesAfterGap)
        lines << QStringLiteral("%1没有名字，但后面的第 %2 页有。")
                     .arg(PagesAndRanks(failure.page, failure.lastEmptyPage))
                     .arg(failure.lastEmptyPage + 1);
    else if (failure.input)
        lines << DescribeInputFault(*failure.input)
              << QStringLiteral("导出已在%1停止。").arg(where);
    else
        lines << QStringLiteral("%1出错：%2。")
                     .arg(where, failure.fetch ? DescribeFetchFailure(*failure.fetch)
                                               : DescribeError(*failure.error));
    if (failure.tries > 1)
        lines << QStringLiteral("这一页共试了 %1 次。").arg(failure.tries);
    if (failure.fetch && !failure.fetch->retryAfter.isEmpty())
        lines << RetryAfterLine(failure.fetch->retryAfter);
    if (failure.page > failure.firstPage)
        lines << QStringLiteral("已完成%1，共 %2 个名字，已保存在 %3。")
                     .arg(Pages(failure.firstPage, failure.page - 1))
                     .arg(failure.namesWritten)
                     .arg(QLatin1String(ResultsFileName));
    else
        lines << QStringLiteral("这次导出还没有完成任何一页。");
    if (failure.namesOnPage > 0)
        lines << QStringLiteral(
                     "第 %1 页出错前已写入 %2 个名字；从第 %3 名继续时，这些名字会再写一次。")
                     .arg(failure.page)
                     .arg(failure.namesOnPage)
                     .arg(failure.resumeRank);
    if (failure.input)
        lines << DescribeInputAdvice(*failure.input);
    lines << ResumeLine(failure.resumeRank);
    if (failure.closeError)
        lines << QStringLiteral("另外，结束未完的一行时出错：%1。")
                     .arg(DescribeError(*failure.closeError));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString DescribeError(const RuntimeError &error)
{
    QString detail = FromUtf8(error.Detail());
    if (const auto offset = error.ByteOffset()) {
        const QString where =
            QStringLiteral("%1 第 %2 字节").arg(QLatin1String(PageFileName)).arg(*offset);
        detail = detail.isEmpty() ? where : detail + QStringLiteral("，") + where;
    }
    const QString name = FromUtf8(ErrorName(error.Kind()));
    return detail.isEmpty() ? name : name + QStringLiteral("（%1）").arg(detail);
}

QString DescribeFetchFailure(const FetchFailure &failure)
{
    if (failure.kind == FetchFailure::Kind::HttpStatus)
        return QStringLiteral("服务器拒绝了请求（%1；%2）")
            .arg(FetchReason(failure), DisplayAddress(failure.address));
    const ErrorKind kind =
        failure.kind == FetchFailure::Kind::TimedOut ? ErrorKind::Timeout : ErrorKind::NetworkError;
    const QString detail =
        FetchReason(failure) + QStringLiteral("；") + DisplayAddress(failure.address);
    return DescribeError(RuntimeError(kind, detail.toStdString()));
}

QString DescribeFailure(const ExportFailure &failure)
{
    switch (failure.cause) {
    case ExportFailure::Cause::BadInput:
        return DescribeInputProblem(*failure.input).text;
    case ExportFailure::Cause::DirectoryBusy:
        return QStringLiteral("这个目录中已有另一个导出在进行（%1 属于进程 %2），"
                              "这次导出没有开始，没有动任何文件。")
            .arg(QLatin1String(LockFileName))
            .arg(failure.lockOwner);
    case ExportFailure::Cause::NoLock:
        return QStringLiteral("文件错误（无法创建 %1），这次导出没有开始。")
            .arg(QLatin1String(LockFileName));
    case ExportFailure::Cause::LastLineEnd:
        return QStringLiteral("%1都已导出，共 %2 个名字，已保存在 %3；"
                              "但给最后一行补上行尾时出错：%4。\n")
                   .arg(Pages(failure.firstPage, failure.lastPage))
                   .arg(failure.namesWritten)
                   .arg(QLatin1String(ResultsFileName), DescribeError(*failure.error)) +
               ResumeLine(failure.resumeRank);
    case ExportFailure::Cause::Stopped:
    case ExportFailure::Cause::PageFailed:
    case ExportFailure::Cause::NamesAfterGap:
        break;
    }
    return DescribeOnPage(failure);
}

QString DescribeRetry(std::int64_t page, int retry, std::int64_t waitMilliseconds)
{
    return QStringLiteral("第 %1 页第 %2 次重试，%3 秒后")
        .arg(page)
        .arg(retry)
        .arg((waitMilliseconds + 999) / 1000);
}

QString DescribeRunReport(const RunReport &report)
{
    if (report.firstPage > report.lastPage)
        return QStringLiteral("起始名次所在的第 %1 页在结束名次所在的第 %2 页之后，没有要导出的页")
            .arg(report.firstPage)
            .arg(report.lastPage);
    QStringList lines{QStringLiteral("共 %1 页、%2 个名字，用时 %3")
                          .arg(report.pages)
                          .arg(report.names)
                          .arg(Duration(report.milliseconds))};
    if (report.firstEmptyPage > 0)
        lines << Pages(report.firstEmptyPage, report.lastEmptyPage) + QStringLiteral("没有名字");
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
        lines << QStringLiteral("排名在导出期间有变动，这些名字写了不止一次（这次写入的第几行）：");
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
