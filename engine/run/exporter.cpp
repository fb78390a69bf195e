#include "engine/run/exporter.h"

#include "engine/commit/tableplan.h"
#include "engine/fetch/requestaddress.h"
#include "engine/fetch/retrywait.h"
#include "engine/run/exportinputs.h"
#include "engine/run/inputcheck.h"
#include "engine/write/pagerange.h"
#include "platform/clock.h"

#include <QScopeGuard>
#include <algorithm>

namespace kestrune {

Exporter::Exporter(const ExportInputs &inputs, QObject *parent)
    : Exporter(inputs, SystemClock::Instance(), parent)
{}

Exporter::Exporter(const ExportInputs &inputs, const Clock &clock, QObject *parent)
    : QObject(parent)
    , inputs_(inputs)
    , clock_(clock)
    , fetcher_(clock)
    , wait_(clock)
    , host_(QStringLiteral(KESTRUNE_DEFAULT_FORUM_HOST))
{
    connect(&wait_, &PageWait::over, this, [this](PageWait::Kind kind) {
        if (kind == PageWait::Kind::Retry)
            StartPage();
        else
            CommitPage();
    });
    connect(&fetcher_, &PageFetcher::finished, this, &Exporter::OnFetched);
}

Exporter::~Exporter()
{
    // As a stop: the last line closed and the resume point kept.
    Stop();
}

void Exporter::RunExport()
{
    if (running_)
        return;
    if (std::optional<InputProblem> problem = CheckInputs(inputs_)) {
        emit failed({.cause = ExportFailure::Cause::BadInput, .input = std::move(problem)});
        return;
    }
    // Checked just above: both read.
    lastPage_ = *PageOfRank(inputs_.ToRank().toStdString());
    firstPage_ = *PageOfRank(inputs_.FromRank().toStdString());
    fromRank_ = *RankOfText(inputs_.FromRank().toStdString());
    toRank_ = *RankOfText(inputs_.ToRank().toStdString());
    // Fixed for the run: two forums never mix in one file.
    forumName_ = inputs_.ForumName();
    if (!TakeLock())
        return;
    const std::optional<QString> continued = std::exchange(continuedTable_, std::nullopt);
    const std::optional<TablePlan> table = PlanTable(tableOn_, directory_, continued, forumName_,
                                                     clock_.WallMilliseconds(), fromRank_, toRank_);
    if (Expected<> started = results_.Start(directory_.absolutePath().toStdU16String(), writeFault_,
                                            scanner_, table, tally_);
        !started) {
        results_.Forget();
        lock_.Release();
        emit failed(TableFailure(started.Error(), firstPage_, lastPage_, directory_.absolutePath(),
                                 results_.TablePath()));
        return;
    }
    resume_.Start(directory_, {.forum = forumName_,
                               .toRank = toRank_,
                               .table = results_.TablePath(),
                               .host = host_,
                               .retries = retries_,
                               .timeoutSeconds = TimeoutSeconds()});
    running_ = true;
    pageNumber_ = firstPage_;
    tries_ = 0;
    namesThisRun_ = 0;
    emptyRun_ = {};
    tally_.Start(firstPage_, lastPage_, clock_.MonotonicMilliseconds());
    if (firstPage_ > lastPage_) {
        (void)EndRun();
        (void)resume_.Remove();
        emit completed(Report({}));
        return;
    }
    StartPage();
}

RunReport Exporter::Report(const EmptyRun &emptyAtEnd) const
{
    return results_.Report(tally_, clock_.MonotonicMilliseconds(), emptyAtEnd);
}

bool Exporter::TakeLock()
{
    const FolderLock::Outcome outcome =
        lock_.Take(directory_.filePath(QLatin1String(LockFileName)));
    if (outcome == FolderLock::Outcome::Taken)
        return true;
    emit failed(LockFailure(outcome == FolderLock::Outcome::Busy
                                ? ExportFailure::Cause::DirectoryBusy
                                : ExportFailure::Cause::NoLock,
                            firstPage_, lastPage_, directory_.absolutePath(), lock_.OwnerPid()));
    return false;
}

void Exporter::StartPage()
{
    emit pageStarted(pageNumber_);
    ++tries_;
    namesOnCurrentPage_ = 0;
    pageDone_ = false;
    // The address is checked before temp.txt is touched.
    const Expected<QByteArray> address = BuildRequestAddress(host_, forumName_, pageNumber_);
    if (!address) {
        Fail({.error = address.Error()});
        return;
    }
    if (Expected<> cleared = results_.Commit().ClearPage(); !cleared) {
        Fail({.error = cleared.Error()});
        return;
    }
    fetcher_.FetchPage(*address);
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
    if (Expected<> stored =
            results_.Commit().StorePage(timedOut ? std::string_view() : result.body);
        !stored) {
        Fail({.error = stored.Error()});
        return;
    }
    if (!timedOut)
        StartPause();
    else if (!ScheduleRetry(*result.failure))
        Fail({.fetch = result.failure});
}

void Exporter::StartPause()
{
    const QString delay = inputs_.Delay();
    if (std::optional<InputProblem> problem = CheckInput(InputBox::Delay, delay)) {
        Fail({.input = std::move(problem)});
        return;
    }
    // Checked just above: it reads.
    const qint64 ms = PauseMilliseconds(*PauseSeconds(delay.toStdString()));
    if (ms <= 0)
        CommitPage();
    else
        wait_.Start(PageWait::Kind::Pause, ms);
}

bool Exporter::ScheduleRetry(const FetchFailure &failure)
{
    if (tries_ > retries_ || !IsRetryable(failure))
        return false;
    // A delay that cannot be read ends the run with the page's own failure;
    // the delay's comes with the next page.
    const Expected<float> pause = PauseSeconds(inputs_.Delay().toStdString());
    if (!pause)
        return false;
    const qint64 waitMs = RetryWaitMilliseconds(tries_, PauseMilliseconds(*pause),
                                                failure.retryAfter, clock_.WallMilliseconds());
    tally_.AddRetry();
    emit retryScheduled(pageNumber_, tries_, waitMs);
    if (running_) // not stopped from a slot
        wait_.Start(PageWait::Kind::Retry, waitMs);
    return true;
}

void Exporter::CommitPage()
{
    const PageResult page =
        results_.Commit().CommitPage(pageNumber_, refusal_, tries_ <= retries_, emptyRun_);
    namesOnCurrentPage_ = page.names;
    namesThisRun_ += page.names;
    if (page.error) {
        Fail({.error = page.error});
        return;
    }
    switch (page.verdict) {
    case PageVerdict::Retry:
        if (!ScheduleRetry(*refusal_))
            Fail({.fetch = refusal_});
        return;
    case PageVerdict::NamesAfterGap:
        Fail({.cause = ExportFailure::Cause::NamesAfterGap});
        return;
    case PageVerdict::Refused:
        Fail({.fetch = refusal_});
        return;
    case PageVerdict::Empty:
        emptyRun_ = emptyRun_.With(pageNumber_);
        break;
    case PageVerdict::Named:
        break;
    }
    namesOnCurrentPage_ = 0;
    pageDone_ = true;
    // The last page is followed by the run's end, which removes the point.
    if (pageNumber_ < lastPage_) {
        if (Expected<> saved = SaveResumePoint(ResumeRank(pageNumber_ + 1, emptyRun_, fromRank_));
            !saved) {
            Fail({.error = saved.Error()});
            return;
        }
    }
    emit pageFinished(pageNumber_, namesThisRun_);
    if (running_) // not stopped from a slot
        NextPage();
}

void Exporter::NextPage()
{
    if (pageNumber_ < lastPage_) {
        ++pageNumber_;
        tries_ = 0;
        StartPage();
        return;
    }
    const Expected<> ended = EndRun();
    // Every page is in: nothing is left to continue, even when the last
    // line could not be closed.
    (void)resume_.Remove();
    if (!ended) {
        emit failed(LastLineFailure(ended.Error(), Standing(emptyRun_)));
        return;
    }
    emit completed(Report(emptyRun_));
}

void Exporter::Stop()
{
    if (!running_)
        return;
    fetcher_.Abort();
    wait_.Stop();
    Fail({.cause = ExportFailure::Cause::Stopped});
}

void Exporter::Fail(const PageStop &stop)
{
    const Expected<> ended = EndRun();
    const ExportFailure failure = StopFailure(stop, Standing({}), ended.Failure());
    // A point that cannot be saved now is the last page's: the message
    // carries the resume rank either way. Past the last page nothing is left.
    (void)(failure.page > lastPage_ ? resume_.Remove() : SaveResumePoint(failure.resumeRank));
    emit failed(failure);
}

Expected<> Exporter::SaveResumePoint(std::int64_t rank)
{
    return resume_.Save(rank, scanner_.RankCounter + 1, inputs_.Delay());
}

RunStanding Exporter::Standing(const EmptyRun &emptyAtEnd) const
{
    return {.firstPage = firstPage_,
            .lastPage = lastPage_,
            .page = pageNumber_,
            .pageDone = pageDone_,
            .emptyRun = emptyRun_,
            .tries = tries_,
            .namesWritten = namesThisRun_,
            .namesOnPage = namesOnCurrentPage_,
            .host = host_,
            .directory = directory_.absolutePath(),
            .fromRank = fromRank_,
            .table = results_.TablePath(),
            .report = Report(emptyAtEnd)};
}

Expected<> Exporter::EndRun()
{
    running_ = false;
    wait_.Stop();
    const auto unlock = qScopeGuard([this] { lock_.Release(); });
    // A run never leaves its last results line open.
    return results_.End();
}

} // namespace kestrune
