#include "engine/exporter.h"

#include "engine/exportinputs.h"
#include "engine/pagerange.h"
#include "engine/requestaddress.h"
#include "platform/clock.h"
#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <QScopeGuard>
#include <algorithm>
#include <optional>

namespace kestrune {

namespace {

QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// Longest single QTimer interval we use; longer pauses re-arm.
constexpr qint64 PauseSliceMs = 24LL * 60 * 60 * 1000;

QString DescribeError(const RuntimeError &error)
{
    QString detail = FromUtf8(error.detail());
    if (const auto offset = error.byteOffset()) {
        const QString where =
            QStringLiteral("%1 第 %2 字节").arg(QLatin1String(PageFileName)).arg(*offset);
        detail = detail.isEmpty() ? where : detail + QStringLiteral("，") + where;
    }
    const QString name = FromUtf8(std::string(ErrorName(error.kind())));
    return detail.isEmpty() ? name : name + QStringLiteral("（%1）").arg(detail);
}

} // namespace

Exporter::Exporter(const ExportInputs &inputs, QObject *parent)
    : Exporter(inputs, SystemClock::Instance(), parent)
{}

Exporter::Exporter(const ExportInputs &inputs, const Clock &clock, QObject *parent)
    : QObject(parent)
    , inputs_(inputs)
    , clock_(clock)
    , fetcher_(clock)
    , host_(QStringLiteral(KESTRUNE_DEFAULT_FORUM_HOST))
{
    pauseTimer_.setSingleShot(true);
    connect(&pauseTimer_, &QTimer::timeout, this, &Exporter::OnPauseTick);
    connect(&fetcher_, &PageFetcher::finished, this, &Exporter::OnFetched);
}

Exporter::~Exporter()
{
    if (!running_)
        return;
    fetcher_.Abort();
    try {
        EndRun();
    } catch (const RuntimeError &) {
        // Nobody is left to tell; the earlier lines are on disk already.
    }
}

QString Exporter::CompletionMessage()
{
    return QStringLiteral("导出完成！");
}

std::filesystem::path Exporter::FilePath(const char *name) const
{
    return std::filesystem::path(directory_.absolutePath().toStdU16String()) / name;
}

void Exporter::RunExport()
{
    if (running_)
        return;
    try {
        lastPage_ = PageOfRank(inputs_.ToRank().toStdString());
        firstPage_ = PageOfRank(inputs_.FromRank().toStdString());
    } catch (const RuntimeError &error) {
        resumeRank_ = 0;
        emit failed(QStringLiteral("排名无法读出，导出没有开始：%1。").arg(DescribeError(error)));
        return;
    }
    resumeRank_ = FirstRankOfPage(firstPage_);
    if (!TakeLock())
        return;
    running_ = true;
    pageNumber_ = firstPage_;
    namesThisRun_ = 0;
    resultsLineOpen_ = false;
    if (firstPage_ > lastPage_) {
        EndRun();
        emit completed(CompletionMessage());
        return;
    }
    StartPage();
}

bool Exporter::TakeLock()
{
    lock_ = std::make_unique<QLockFile>(directory_.filePath(QLatin1String(LockFileName)));
    // A run may last hours; only a lock whose process is gone is stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    const QLockFile::LockError error = lock_->error();
    qint64 pid = 0;
    QString hostName;
    QString appName;
    lock_->getLockInfo(&pid, &hostName, &appName);
    lock_.reset();
    emit failed(error == QLockFile::LockFailedError
                    ? QStringLiteral("这个目录中已有另一个导出在进行（%1 属于进程 %2），"
                                     "这次导出没有开始，没有动任何文件。")
                          .arg(QLatin1String(LockFileName))
                          .arg(pid)
                    : QStringLiteral("文件错误（无法创建 %1），这次导出没有开始。")
                          .arg(QLatin1String(LockFileName)));
    return false;
}

void Exporter::StartPage()
{
    emit pageStarted(pageNumber_);
    namesOnCurrentPage_ = 0;
    try {
        // The address is checked before temp.txt is touched.
        const QByteArray address = BuildRequestAddress(host_, inputs_.ForumName(), pageNumber_);
        OutputFile(FilePath(PageFileName), OutputFile::Mode::Replace, writeFault_).Close();
        fetcher_.FetchPage(address);
    } catch (const RuntimeError &error) {
        Fail(error);
    }
}

void Exporter::OnFetched(const FetchResult &result)
{
    const std::string address = DisplayAddress(result.address).toStdString();
    if (result.outcome == FetchResult::Outcome::NetworkError ||
        result.outcome == FetchResult::Outcome::TooLarge) {
        Fail(RuntimeError(ErrorKind::NetworkError, result.reason.toStdString() + "；" + address));
        return;
    }
    const bool timedOut = result.outcome == FetchResult::Outcome::TimedOut;
    try {
        StorePage(timedOut ? QByteArray() : result.body);
        if (!timedOut)
            StartPause();
    } catch (const RuntimeError &error) {
        Fail(error);
        return;
    }
    if (timedOut)
        Fail(RuntimeError(ErrorKind::Timeout, "超过 3 秒没有收到完整的回应；" + address));
}

void Exporter::StorePage(const QByteArray &body)
{
    OutputFile page(FilePath(PageFileName), OutputFile::Mode::Replace, writeFault_);
    page.Write(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
    page.Write("\r\n");
    page.Close();
}

void Exporter::StartPause()
{
    const qint64 ms = PauseMilliseconds(PauseSeconds(inputs_.Delay().toStdString()));
    if (ms <= 0) {
        ScanPage();
        return;
    }
    pauseEnd_ = clock_.MonotonicMilliseconds() + ms;
    OnPauseTick();
}

void Exporter::OnPauseTick()
{
    const qint64 remaining = pauseEnd_ - clock_.MonotonicMilliseconds();
    if (remaining > 0) {
        pauseTimer_.start(
            static_cast<int>(clock_.TimerMilliseconds(std::min(remaining, PauseSliceMs))));
        return;
    }
    ScanPage();
}

void Exporter::ScanPage()
{
    try {
        // A page file can never hold more than the largest page and its CR LF.
        InputChannel page =
            InputChannel::Open(FilePath(PageFileName), PageFetcher::MaxBodyBytes + 2);
        OutputFile results(FilePath(ResultsFileName), OutputFile::Mode::Append, writeFault_);
        OutputChannel printed;
        const std::int64_t countBefore = scanner_.RankCounter;
        std::optional<RuntimeError> scanError;
        try {
            ScanPageFile(scanner_, page, printed);
        } catch (const RuntimeError &error) {
            scanError = error;
        }
        // What the scan printed before an error is kept, as a page's earlier
        // lines would be.
        if (!printed.Empty()) {
            try {
                results.Write(printed.Buffer());
            } catch (const RuntimeError &) {
                // None of the page's names reached the file: number them again.
                scanner_.RankCounter = countBefore;
                throw;
            }
            resultsLineOpen_ = printed.LineOpen();
        }
        namesOnCurrentPage_ = scanner_.RankCounter - countBefore;
        namesThisRun_ += namesOnCurrentPage_;
        results.Close();
        if (scanError)
            throw *scanError;
    } catch (const RuntimeError &error) {
        Fail(error);
        return;
    }
    namesOnCurrentPage_ = 0;
    emit pageFinished(pageNumber_, namesThisRun_);
    if (!running_)
        return; // stopped from a slot
    if (pageNumber_ >= lastPage_) {
        try {
            EndRun();
        } catch (const RuntimeError &error) {
            FailClosingLastLine(error);
            return;
        }
        emit completed(CompletionMessage());
        return;
    }
    ++pageNumber_;
    StartPage();
}

void Exporter::Stop()
{
    if (!running_)
        return;
    fetcher_.Abort();
    pauseTimer_.stop();
    Fail(RuntimeError(ErrorKind::Stopped, {}));
}

void Exporter::Fail(const RuntimeError &error)
{
    QString closeError;
    try {
        EndRun();
    } catch (const RuntimeError &closing) {
        closeError =
            QStringLiteral("\n另外，结束未完的一行时出错：%1。").arg(DescribeError(closing));
    }
    resumeRank_ = FirstRankOfPage(pageNumber_);
    const QString where = QStringLiteral("第 %1 页（第 %2—%3 名）")
                              .arg(pageNumber_)
                              .arg(resumeRank_)
                              .arg(LastRankOfPage(pageNumber_));
    const QString what = error.kind() == ErrorKind::Stopped
                             ? QStringLiteral("导出已在%1停止。").arg(where)
                             : QStringLiteral("%1出错：%2。").arg(where, DescribeError(error));
    const QString done = pageNumber_ > firstPage_
                             ? QStringLiteral("已完成第 %1—%2 页，共 %3 个名字，已保存在 %4。")
                                   .arg(firstPage_)
                                   .arg(pageNumber_ - 1)
                                   .arg(namesThisRun_ - namesOnCurrentPage_)
                                   .arg(QLatin1String(ResultsFileName))
                             : QStringLiteral("这次导出还没有完成任何一页。");
    const QString partial =
        namesOnCurrentPage_ > 0
            ? QStringLiteral(
                  "第 %1 页出错前已写入 %2 个名字；从第 %3 名继续时，这些名字会再写一次。\n")
                  .arg(pageNumber_)
                  .arg(namesOnCurrentPage_)
                  .arg(resumeRank_)
            : QString();
    const QString resume = QStringLiteral("从第 %1 名开始可以继续导出。").arg(resumeRank_);
    emit failed(what + QLatin1Char('\n') + done + QLatin1Char('\n') + partial + resume +
                closeError);
}

void Exporter::FailClosingLastLine(const RuntimeError &error)
{
    resumeRank_ = FirstRankOfPage(lastPage_ + 1);
    emit failed(QStringLiteral("第 %1—%2 页都已导出，共 %3 个名字，已保存在 %4；"
                               "但给最后一行补上行尾时出错：%5。\n"
                               "从第 %6 名开始可以继续导出。")
                    .arg(firstPage_)
                    .arg(lastPage_)
                    .arg(namesThisRun_)
                    .arg(QLatin1String(ResultsFileName), DescribeError(error))
                    .arg(resumeRank_));
}

void Exporter::EndRun()
{
    running_ = false;
    pauseTimer_.stop();
    const auto unlock = qScopeGuard([this] { lock_.reset(); });
    if (!resultsLineOpen_)
        return;
    // A run never leaves its last results line open.
    resultsLineOpen_ = false;
    OutputFile results(FilePath(ResultsFileName), OutputFile::Mode::Append, writeFault_);
    results.Write("\r\n");
    results.Close();
}

} // namespace kestrune
