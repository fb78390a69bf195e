#include "engine/exporter.h"

#include "engine/exportfailure.h"
#include "engine/exportinputs.h"
#include "engine/inputcheck.h"
#include "engine/nametap.h"
#include "engine/pagerange.h"
#include "engine/requestaddress.h"
#include "engine/retrywait.h"
#include "platform/clock.h"
#include "platform/outputfile.h"
#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <QScopeGuard>
#include <algorithm>
#include <optional>

namespace kestrune {

// Longest single QTimer interval we use; longer pauses re-arm.
constexpr qint64 PauseSliceMs = 24LL * 60 * 60 * 1000;

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
    if (std::optional<InputProblem> problem = CheckInputs(inputs_)) {
        emit failed({.cause = ExportFailure::Cause::BadInput, .input = std::move(problem)});
        return;
    }
    // Checked: these read.
    lastPage_ = PageOfRank(inputs_.ToRank().toStdString());
    firstPage_ = PageOfRank(inputs_.FromRank().toStdString());
    if (!TakeLock())
        return;
    running_ = true;
    pageNumber_ = firstPage_;
    tries_ = 0;
    namesThisRun_ = 0;
    emptyRun_ = {};
    tally_.Start(firstPage_, lastPage_, clock_.MonotonicMilliseconds());
    if (firstPage_ > lastPage_) {
        EndRun();
        emit completed(CompletionMessage(), tally_.Report(clock_.MonotonicMilliseconds(), 0, 0));
        return;
    }
    StartPage();
}

bool Exporter::TakeLock()
{
    const FolderLock::Outcome outcome =
        lock_.Take(directory_.filePath(QLatin1String(LockFileName)));
    if (outcome == FolderLock::Outcome::Taken)
        return true;
    ExportFailure failure =
        Failure(outcome == FolderLock::Outcome::Busy ? ExportFailure::Cause::DirectoryBusy
                                                     : ExportFailure::Cause::NoLock,
                0, firstPage_);
    failure.lockOwner = lock_.OwnerPid();
    emit failed(failure);
    return false;
}

void Exporter::StartPage()
{
    emit pageStarted(pageNumber_);
    ++tries_;
    namesOnCurrentPage_ = 0;
    pageDone_ = false;
    // The box may have been edited since the last page.
    const QString forumName = inputs_.ForumName();
    if (std::optional<InputProblem> problem = CheckInput(InputBox::ForumName, forumName)) {
        Fail({.input = std::move(problem)});
        return;
    }
    try {
        // The address is checked before temp.txt is touched.
        const QByteArray address = BuildRequestAddress(host_, forumName, pageNumber_);
        OutputFile(FilePath(PageFileName), OutputFile::Mode::Replace, writeFault_).Close();
        fetcher_.FetchPage(address);
    } catch (const RuntimeError &error) {
        Fail({.error = error});
    }
}

void Exporter::OnFetched(const FetchResult &result)
{
    // A page that timed out is stored empty, as one that came empty would be.
    const bool timedOut = result.failure && result.failure->kind == FetchFailure::Kind::TimedOut;
    if (result.failure && !timedOut) {
        if (!ScheduleRetry(*result.failure))
            Fail({.fetch = result.failure});
        return;
    }
    refusal_ = timedOut ? std::nullopt : RefusalOf(result);
    try {
        StorePage(timedOut ? std::string_view() : std::string_view(result.body));
        if (!timedOut)
            StartPause();
    } catch (const RuntimeError &error) {
        Fail({.error = error});
        return;
    }
    if (timedOut && !ScheduleRetry(*result.failure))
        Fail({.fetch = result.failure});
}

void Exporter::StorePage(std::string_view body)
{
    OutputFile page(FilePath(PageFileName), OutputFile::Mode::Replace, writeFault_);
    page.Write(body);
    page.Write("\r\n");
    page.Close();
}

void Exporter::StartPause()
{
    const QString delay = inputs_.Delay();
    if (std::optional<InputProblem> problem = CheckInput(InputBox::Delay, delay)) {
        Fail({.input = std::move(problem)});
        return;
    }
    const qint64 ms = PauseMilliseconds(PauseSeconds(delay.toStdString()));
    if (ms <= 0) {
        ScanPage();
        return;
    }
    pauseEnd_ = clock_.MonotonicMilliseconds() + ms;
    OnPauseTick();
}

bool Exporter::ScheduleRetry(const FetchFailure &failure)
{
    if (tries_ > retries_ || !IsRetryable(failure))
        return false;
    qint64 pauseMs = 0;
    try {
        pauseMs = PauseMilliseconds(PauseSeconds(inputs_.Delay().toStdString()));
    } catch (const RuntimeError &) {
        return false; // the page's own failure is told; the delay's comes with the next page
    }
    const qint64 waitMs =
        RetryWaitMilliseconds(tries_, pauseMs, failure.retryAfter, clock_.WallMilliseconds());
    pauseEnd_ = clock_.MonotonicMilliseconds() + waitMs;
    retryAfterPause_ = true;
    tally_.AddRetry();
    emit retryScheduled(pageNumber_, tries_, waitMs);
    if (running_) // not stopped from a slot
        OnPauseTick();
    return true;
}

void Exporter::OnPauseTick()
{
    const qint64 remaining = pauseEnd_ - clock_.MonotonicMilliseconds();
    if (remaining > 0) {
        pauseTimer_.start(
            static_cast<int>(clock_.TimerMilliseconds(std::min(remaining, PauseSliceMs))));
        return;
    }
    if (std::exchange(retryAfterPause_, false))
        StartPage();
    else
        ScanPage();
}

std::optional<Exporter::PageStop> Exporter::ScanIntoResults()
{
    std::optional<InputChannel> page;
    std::optional<OutputFile> file;
    try {
        // A page file can never hold more than the largest page and its CR LF.
        page.emplace(InputChannel::Open(FilePath(PageFileName), PageFetcher::MaxBodyBytes + 2));
        file.emplace(FilePath(ResultsFileName), OutputFile::Mode::Append, writeFault_);
    } catch (const RuntimeError &error) {
        return PageStop{.error = error};
    }
    const ScannerState before = scanner_;
    std::optional<RuntimeError> scanError;
    NameTap tap(results_);
    try {
        ScanPageFile(scanner_, *page, tap);
    } catch (const RuntimeError &error) {
        scanError = error;
    }
    const std::int64_t names = scanner_.RankCounter - before.RankCounter;
    const PageVerdict verdict = JudgePage(names, refusal_, tries_ <= retries_, emptyRun_);
    if (verdict == PageVerdict::Retry || verdict == PageVerdict::NamesAfterGap) {
        // A failed try writes nothing; nor does a page after a gap, so that a
        // resume at the first empty page leaves no hole in the file.
        scanner_ = before;
        results_.DropPage();
        if (verdict == PageVerdict::Retry)
            return PageStop{.fetch = refusal_, .retry = true};
        return PageStop{.cause = ExportFailure::Cause::NamesAfterGap};
    }
    // What the scan met before an error is kept, as a page's earlier lines
    // would be.
    try {
        results_.WritePage(*file);
    } catch (const RuntimeError &error) {
        // None of the page's names reached the file: number them again.
        scanner_.RankCounter = before.RankCounter;
        return PageStop{.error = error};
    }
    namesOnCurrentPage_ = names;
    namesThisRun_ += names;
    tally_.AddPage(pageNumber_, tap.names);
    try {
        file->Close();
    } catch (const RuntimeError &error) {
        return PageStop{.error = error};
    }
    if (verdict == PageVerdict::Refused)
        return PageStop{.fetch = refusal_};
    if (scanError)
        return PageStop{.error = scanError};
    if (verdict == PageVerdict::Empty)
        emptyRun_ = emptyRun_.With(pageNumber_);
    return std::nullopt;
}

void Exporter::ScanPage()
{
    if (const std::optional<PageStop> stop = ScanIntoResults()) {
        if (!stop->retry || !ScheduleRetry(*stop->fetch))
            Fail(*stop);
        return;
    }
    namesOnCurrentPage_ = 0;
    pageDone_ = true;
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
        emit completed(CompletionMessage(), tally_.Report(clock_.MonotonicMilliseconds(),
                                                          emptyRun_.first, emptyRun_.last));
        return;
    }
    ++pageNumber_;
    tries_ = 0;
    StartPage();
}

void Exporter::Stop()
{
    if (!running_)
        return;
    fetcher_.Abort();
    pauseTimer_.stop();
    Fail({.cause = ExportFailure::Cause::Stopped});
}

void Exporter::Fail(const PageStop &stop)
{
    std::optional<RuntimeError> closeError;
    try {
        EndRun();
    } catch (const RuntimeError &closing) {
        closeError = closing;
    }
    const bool gap = stop.cause == ExportFailure::Cause::NamesAfterGap;
    // Stopped from a pageFinished() slot, the run stands before the next page.
    std::int64_t page = pageDone_ ? pageNumber_ + 1 : pageNumber_;
    if (gap)
        page = emptyRun_.first;
    // Pages without names just before may have been refused: a resume
    // starts at the first of them, so the file never gets a hole.
    ExportFailure failure = Failure(stop.cause, page, emptyRun_.Any() ? emptyRun_.first : page);
    failure.error = stop.error;
    failure.fetch = stop.fetch;
    failure.input = stop.input;
    failure.closeError = closeError;
    failure.lastEmptyPage = gap ? emptyRun_.last : 0;
    failure.host = host_;
    failure.namesOnPage = namesOnCurrentPage_;
    failure.tries = stop.cause == ExportFailure::Cause::PageFailed && !stop.input ? tries_ : 0;
    failure.namesWritten = namesThisRun_ - namesOnCurrentPage_;
    failure.report = tally_.Report(clock_.MonotonicMilliseconds(), 0, 0);
    emit failed(failure);
}

void Exporter::FailClosingLastLine(const RuntimeError &error)
{
    ExportFailure failure = Failure(ExportFailure::Cause::LastLineEnd, lastPage_, lastPage_ + 1);
    failure.error = error;
    failure.namesWritten = namesThisRun_;
    failure.report = tally_.Report(clock_.MonotonicMilliseconds(), emptyRun_.first, emptyRun_.last);
    emit failed(failure);
}

ExportFailure Exporter::Failure(ExportFailure::Cause cause, std::int64_t page,
                                std::int64_t resumePage) const
{
    return {.cause = cause,
            .page = page,
            .firstPage = firstPage_,
            .lastPage = lastPage_,
            .resumeRank = FirstRankOfPage(resumePage),
            .directory = directory_.absolutePath()};
}

void Exporter::EndRun()
{
    running_ = false;
    pauseTimer_.stop();
    retryAfterPause_ = false;
    const auto unlock = qScopeGuard([this] { lock_.Release(); });
    // A run never leaves its last results line open.
    results_.EndRun(FilePath(ResultsFileName), writeFault_);
}

} // namespace kestrune
