#include "engine/messages/failuremessage.h"

#include "engine/fetch/requestaddress.h"
#include "engine/messages/detailwords.h"
#include "engine/messages/failureadvice.h"
#include "engine/messages/inputmessage.h"
#include "engine/messages/runreportmessage.h"
#include "engine/write/exportfiles.h"
#include "engine/write/pagerange.h"
#include "platform/cp936.h"

#include <QDir>
#include <QStringList>

namespace kestrune {

namespace {

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

// What an error met on a page means, to follow "下载…时" or "导出…时".
Advice PageAdvice(const ExportFailure &failure)
{
    if (failure.fetch)
        return FetchAdvice(*failure.fetch);
    if (!failure.error)
        return {QStringLiteral("输入框中的内容不能用")};
    const RuntimeError &error = *failure.error;
    if (!error.FileName().empty())
        return FileAdvice(failure.directory, error, failure.table);
    if (error.Kind() == ErrorKind::InvalidArgument && error.ByteOffset())
        return {QStringLiteral("这一页的内容格式不对，取不出其中的名字"),
                QStringLiteral("稍后再继续；一再出现的话，论坛的页面格式可能变了。")};
    if (error.Kind() == ErrorKind::InvalidArgument)
        return {QStringLiteral("论坛名和论坛地址 %1 组不成下载的地址"),
                QStringLiteral("检查论坛名和论坛地址%3。"), Hint::ForumAddress};
    return {QStringLiteral("出错了")};
}

// %1, %2 and %3 filled by number in one pass: QString::arg would move a
// value to the next number when one is missing, and would fill a % in a host.
QString Fill(const QString &words, const QString &forum, const QString &datum, const QString &hint)
{
    const QString *values[] = {&forum, &datum, &hint};
    QString filled;
    for (qsizetype at = 0; at < words.size(); ++at) {
        const QChar next = at + 1 < words.size() ? words.at(at + 1) : QChar();
        if (words.at(at) == u'%' && next >= u'1' && next <= u'3') {
            filled += *values[next.unicode() - u'1'];
            ++at;
        } else {
            filled += words.at(at);
        }
    }
    return filled;
}

QString HintFor(Hint hint, const SettingHints &hints)
{
    if (hint == Hint::Retries)
        return hints.retries.isEmpty() ? QString() : QStringLiteral("，或") + hints.retries;
    const QString how = hint == Hint::ForumAddress  ? hints.forumAddress
                        : hint == Hint::CaFile      ? hints.caFile
                        : hint == Hint::Timeout     ? hints.timeout
                        : hint == Hint::OtherFolder ? hints.otherFolder
                                                    : QString();
    return how.isEmpty() ? QString() : QStringLiteral("（%1）").arg(how);
}

QString ResumeLine(std::int64_t rank, const SettingHints &hints)
{
    const QString line =
        hints.resume.isEmpty() ? QStringLiteral("从第 %1 名开始可以继续导出。") : hints.resume;
    return line.arg(rank);
}

QString SavedLine(const ExportFailure &failure)
{
    QString results = NativePath(failure.directory, ResultsFileName);
    if (!failure.table.isEmpty())
        results += QStringLiteral(" 和表格 ") + QDir::toNativeSeparators(failure.table);
    if (failure.page > failure.firstPage)
        return QStringLiteral("已完成%1，共 %2 个名字，已保存在 %3。")
            .arg(DescribePages(failure.firstPage, failure.page - 1))
            .arg(failure.namesWritten)
            .arg(results);
    return QStringLiteral("这次导出还没有完成任何一页（结果文件：%1）。").arg(results);
}

UserMessage DescribeTableUnusable(const ExportFailure &failure, const SettingHints &hints)
{
    const RuntimeError &error = *failure.error;
    if (error.Kind() == ErrorKind::InvalidArgument)
        return {QStringLiteral("表格文件 %1 不是本程序导出的表格，不能接着写入。"
                               "这次导出没有开始，没有改动任何文件。\n"
                               "换一个表格文件，或不指定表格文件，让程序另建一个表格。")
                    .arg(QDir::toNativeSeparators(failure.table)),
                DescribeError(error)};
    const Advice advice = FileAdvice(failure.directory, error, failure.table);
    const QString hint = HintFor(advice.hint, hints);
    return {QStringLiteral("%1，这次导出没有开始。\n%2")
                .arg(Fill(advice.what, {}, {}, hint), Fill(advice.todo, {}, {}, hint)),
            DescribeError(error)};
}

UserMessage DescribeOnPage(const ExportFailure &failure, const SettingHints &hints)
{
    const QString where = PageAndRanks(failure.page);
    QStringList lines;
    QStringList detail;
    QString todo;
    if (failure.cause == ExportFailure::Cause::Stopped) {
        lines << QStringLiteral("导出已在%1停止。").arg(where);
    } else if (failure.cause == ExportFailure::Cause::NamesAfterGap) {
        lines << QStringLiteral("%1没有名字，但后面的第 %2 页有，所以第 %2 页没有写入。")
                     .arg(PagesAndRanks(failure.page, failure.lastEmptyPage))
                     .arg(failure.lastEmptyPage + 1);
        todo = QStringLiteral("多半是论坛服务器一时没有发回名字：稍后再继续，这几页会重新下载。");
    } else if (failure.input) {
        lines << DescribeInputFault(*failure.input)
              << QStringLiteral("导出已在%1停止。").arg(where);
        todo = DescribeInputAdvice(*failure.input);
        detail << DescribeInputDetail(*failure.input);
    } else {
        const Advice advice = PageAdvice(failure);
        const QString forum = DisplayForumAddress(failure.host);
        const QString datum = failure.fetch ? FetchDatum(*failure.fetch) : QString();
        // A page tried more than once had retries on already.
        const bool retried = advice.hint == Hint::Retries && failure.tries > 1;
        const QString hint = HintFor(retried ? Hint::None : advice.hint, hints);
        lines << QStringLiteral("%1%2时，%3。")
                     .arg(failure.fetch ? QStringLiteral("下载") : QStringLiteral("导出"), where,
                          Fill(advice.what, forum, datum, hint));
        todo = Fill(advice.todo, forum, datum, hint);
        if (failure.fetch && !failure.fetch->retryAfter.isEmpty())
            todo += RetryAfterLine(failure.fetch->retryAfter);
        detail << (failure.fetch   ? DescribeFetchFailure(*failure.fetch)
                   : failure.error ? DescribeError(*failure.error)
                                   : QString());
    }
    lines << SavedLine(failure);
    if (failure.namesOnPage > 0)
        lines << QStringLiteral(
                     "第 %1 页出错前已写入 %2 个名字；从第 %3 名继续时，这些名字会再写一次。")
                     .arg(failure.page)
                     .arg(failure.namesOnPage)
                     .arg(failure.resumeRank);
    if (!todo.isEmpty())
        lines << todo;
    lines << ResumeLine(failure.resumeRank, hints);
    if (failure.tries > 1)
        detail << QStringLiteral("这一页共试了 %1 次。").arg(failure.tries);
    if (failure.closeError)
        detail << QStringLiteral("另外，给未完的一行补上行尾时出错：%1。")
                      .arg(DescribeError(*failure.closeError));
    detail.removeAll(QString());
    return {lines.join(u'\n'), detail.join(u'\n')};
}

} // namespace

UserMessage DescribeFailure(const ExportFailure &failure, const SettingHints &hints)
{
    const QString folder = QDir::toNativeSeparators(QDir(failure.directory).absolutePath());
    switch (failure.cause) {
    case ExportFailure::Cause::BadInput:
        return DescribeInputProblem(*failure.input);
    case ExportFailure::Cause::DirectoryBusy:
        return {QStringLiteral("文件夹 %1 中已有另一个导出在进行，这次导出没有开始，"
                               "没有改动任何文件。\n"
                               "等那个导出结束后再导出，或换一个文件夹运行本程序%2。")
                    .arg(folder, HintFor(Hint::OtherFolder, hints)),
                QStringLiteral("%1 属于进程 %2")
                    .arg(NativePath(failure.directory, LockFileName))
                    .arg(failure.lockOwner)};
    case ExportFailure::Cause::NoLock:
        return {QStringLiteral("无法在文件夹 %1 中写入文件，这次导出没有开始。\n"
                               "换一个可以写入的文件夹运行本程序%2。")
                    .arg(folder, HintFor(Hint::OtherFolder, hints)),
                QStringLiteral("文件错误（无法创建 %1）")
                    .arg(NativePath(failure.directory, LockFileName))};
    case ExportFailure::Cause::TableUnusable:
        return DescribeTableUnusable(failure, hints);
    case ExportFailure::Cause::LastLineEnd: {
        const Advice advice = FileAdvice(failure.directory, *failure.error);
        return {QStringLiteral("%1都已导出，共 %2 个名字，已保存在 %3；"
                               "但给最后一行补上行尾时，%4。\n%5\n%6")
                    .arg(DescribePages(failure.firstPage, failure.lastPage))
                    .arg(failure.namesWritten)
                    .arg(NativePath(failure.directory, ResultsFileName), advice.what, advice.todo,
                         ResumeLine(failure.resumeRank, hints)),
                DescribeError(*failure.error)};
    }
    case ExportFailure::Cause::Stopped:
    case ExportFailure::Cause::PageFailed:
    case ExportFailure::Cause::NamesAfterGap:
        break;
    }
    return DescribeOnPage(failure, hints);
}

QString DescribeRetry(std::int64_t page, int retry, std::int64_t waitMilliseconds)
{
    return QStringLiteral("%1 秒后第 %2 次重试第 %3 页")
        .arg((waitMilliseconds + 999) / 1000)
        .arg(retry)
        .arg(page);
}

} // namespace kestrune
