#pragma once

#include "engine/commit/pageoutcome.h"
#include "engine/run/exportfailure.h"

#include <QString>
#include <cstdint>
#include <optional>

// How a run that ends early becomes an ExportFailure: from where it stood and
// why the page under way stopped it.
namespace kestrune {

// Where a run stood when it ended.
struct RunStanding
{
    std::int64_t firstPage = 0;
    std::int64_t lastPage = 0;
    std::int64_t page = 0; // the page under way
    bool pageDone = false; // ...scanned and written: the run stands before the next
    EmptyRun emptyRun{};
    int tries = 0;                 // of the page under way
    std::int64_t namesWritten = 0; // this run's, the page under way's included
    std::int64_t namesOnPage = 0;  // of the page under way, written before its error
    QString host{};
    QString directory{};
    // A resume never starts before the rank asked, though it starts a page.
    std::optional<std::int64_t> fromRank{};
    QString table{}; // the run's, if any
    RunReport report{};
};

// Why the page under way ends the run.
struct PageStop
{
    ExportFailure::Cause cause = ExportFailure::Cause::PageFailed;
    std::optional<RuntimeError> error{};
    std::optional<FetchFailure> fetch{};
    std::optional<InputProblem> input{}; // a box edited during the run
};

// The from-rank that carries on at `page`: before it the pages without names
// that may have been refused, never before the rank first asked.
std::int64_t ResumeRank(std::int64_t page, const EmptyRun &emptyBefore,
                        std::optional<std::int64_t> fromRank);

// Before any page: the directory could not be locked.
ExportFailure LockFailure(ExportFailure::Cause cause, std::int64_t firstPage, std::int64_t lastPage,
                          const QString &directory, std::int64_t lockOwner);

// Before any page: the table could not be made, or is not one to continue.
ExportFailure TableFailure(const RuntimeError &error, std::int64_t firstPage, std::int64_t lastPage,
                           const QString &directory, const QString &table);

// `closeError`: ending the run failed too.
ExportFailure StopFailure(const PageStop &stop, const RunStanding &standing,
                          const std::optional<RuntimeError> &closeError);

// Every page is in the file; only closing its last line failed.
ExportFailure LastLineFailure(const RuntimeError &error, const RunStanding &standing);

} // namespace kestrune
