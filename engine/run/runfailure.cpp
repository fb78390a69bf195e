#include "engine/run/runfailure.h"

#include "engine/write/pagerange.h"

#include <algorithm>

namespace kestrune {

namespace {

// The fields every failure once the page range is known has.
ExportFailure Failure(ExportFailure::Cause cause, std::int64_t page, std::int64_t resumePage,
                      const RunStanding &standing)
{
    return {.cause = cause,
            .page = page,
            .firstPage = standing.firstPage,
            .lastPage = standing.lastPage,
            .resumeRank = ResumeRank(resumePage, {}, standing.fromRank),
            .directory = standing.directory,
            .table = standing.table};
}

} // namespace

std::int64_t ResumeRank(std::int64_t page, const EmptyRun &emptyBefore,
                        std::optional<std::int64_t> fromRank)
{
    const std::int64_t first = FirstRankOfPage(emptyBefore.Any() ? emptyBefore.First() : page);
    return std::max(first, fromRank.value_or(first));
}

ExportFailure LockFailure(ExportFailure::Cause cause, std::int64_t firstPage, std::int64_t lastPage,
                          const QString &directory, std::int64_t lockOwner)
{
    ExportFailure failure =
        Failure(cause, 0, firstPage,
                {.firstPage = firstPage, .lastPage = lastPage, .directory = directory});
    failure.lockOwner = lockOwner;
    return failure;
}

ExportFailure TableFailure(const RuntimeError &error, std::int64_t firstPage, std::int64_t lastPage,
                           const QString &directory, const QString &table)
{
    ExportFailure failure = Failure(
        ExportFailure::Cause::TableUnusable, 0, firstPage,
        {.firstPage = firstPage, .lastPage = lastPage, .directory = directory, .table = table});
    failure.error = error;
    return failure;
}

ExportFailure StopFailure(const PageStop &stop, const RunStanding &standing,
                          const std::optional<RuntimeError> &closeError)
{
    const bool gap = stop.cause == ExportFailure::Cause::NamesAfterGap;
    const EmptyRun &empty = standing.emptyRun;
    // Stopped from a pageFinished() slot, the run stands before the next page.
    std::int64_t page = standing.pageDone ? standing.page + 1 : standing.page;
    if (gap)
        page = empty.First();
    // Pages without names just before may have been refused: a resume
    // starts at the first of them, so the file never gets a hole.
    ExportFailure failure = Failure(stop.cause, page, empty.Any() ? empty.First() : page, standing);
    failure.error = stop.error;
    failure.fetch = stop.fetch;
    failure.input = stop.input;
    failure.closeError = closeError;
    failure.lastEmptyPage = gap ? empty.Last() : 0;
    failure.host = standing.host;
    failure.namesOnPage = standing.namesOnPage;
    failure.tries =
        stop.cause == ExportFailure::Cause::PageFailed && !stop.input ? standing.tries : 0;
    failure.namesWritten = standing.namesWritten - standing.namesOnPage;
    failure.report = standing.report;
    return failure;
}

ExportFailure LastLineFailure(const RuntimeError &error, const RunStanding &standing)
{
    ExportFailure failure = Failure(ExportFailure::Cause::LastLineEnd, standing.lastPage,
                                    standing.lastPage + 1, standing);
    failure.error = error;
    failure.namesWritten = standing.namesWritten;
    failure.report = standing.report;
    return failure;
}

} // namespace kestrune
