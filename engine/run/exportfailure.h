#pragma once

#include "engine/commit/runreport.h"
#include "engine/fetch/fetchfailure.h"
#include "engine/run/inputcheck.h"
#include "platform/runtimeerror.h"

#include <QMetaType>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// Why a run ended before "导出完成！", where, and what it had saved. The
// run reports this value; DescribeFailure (engine/messages/failuremessage.h)
// makes it the message both the window and the command line show.
struct ExportFailure
{
    enum class Cause
    {
        BadInput,      // a box cannot be used (`input`): nothing started
        DirectoryBusy, // another run holds the directory: nothing touched
        NoLock,        // the directory's lock file cannot be made
        TableUnusable, // the table cannot be made or continued (`error`): nothing fetched
        Stopped,       // 停止, a signal, or the window closing
        PageFailed,    // an error on `page`
        NamesAfterGap, // pages `page`..`lastEmptyPage` had no names, the next one has
        LastLineEnd,   // every page is in the file; only the closing CR LF failed
    };

    Cause cause = Cause::PageFailed;
    std::optional<RuntimeError> error{}; // what failed, with the low-level detail
    std::optional<FetchFailure> fetch{}; // instead: why `page` could not be taken
    std::optional<InputProblem> input{}; // instead: a box that cannot be used
    std::int64_t page = 0;
    std::int64_t lastEmptyPage = 0; // NamesAfterGap only
    int tries = 0;                  // PageFailed: of `page`, the failing one included
    std::int64_t firstPage = 0;
    std::int64_t lastPage = 0;
    std::int64_t namesWritten = 0;            // on the pages completed before `page`
    std::int64_t namesOnPage = 0;             // of `page`, written before its error
    std::int64_t resumeRank = 0;              // the from-rank that carries on; 0 for none
    std::int64_t lockOwner = 0;               // the process holding the directory
    QString host{};                           // the forum's address as the run was given it
    QString directory{};                      // where the run keeps its files
    QString table{};                          // the run's table; empty for none
    std::optional<RuntimeError> closeError{}; // closing the open line failed too
    RunReport report{};                       // what the run did, when it started

    // Whether pages were asked for: a resume then makes sense.
    bool RunStarted() const
    {
        return cause == Cause::Stopped || cause == Cause::PageFailed ||
               cause == Cause::NamesAfterGap || cause == Cause::LastLineEnd;
    }
};

} // namespace kestrune

Q_DECLARE_METATYPE(kestrune::ExportFailure)
