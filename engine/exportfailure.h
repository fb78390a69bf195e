#pragma once

#include "engine/fetchfailure.h"
#include "engine/inputcheck.h"
#include "engine/runreport.h"
#include "platform/runtimeerror.h"

#include <QMetaType>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// Why a run ended before "导出完成！", where, and what it had saved. The
// engine reports this value; DescribeFailure makes it the one sentence both
// the window and the command line show.
struct ExportFailure
{
    enum class Cause
    {
        BadInput,      // a box cannot be used (`input`): nothing started
        DirectoryBusy, // another run holds the directory: nothing touched
        NoLock,        // the directory's lock file cannot be made
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
    std::optional<RuntimeError> closeError{}; // closing the open line failed too
    RunReport report{};                       // what the run did, when it started

    // Whether pages were asked for: a resume then makes sense.
    bool RunStarted() const
    {
        return cause == Cause::Stopped || cause == Cause::PageFailed ||
               cause == Cause::NamesAfterGap || cause == Cause::LastLineEnd;
    }
};

// The error's Chinese name with its detail: 网络错误（…）.
QString DescribeError(const RuntimeError &error);

// The fetch failure's Chinese name with what went wrong and where:
// 网络错误（无法连接：…；http://…）.
QString DescribeFetchFailure(const FetchFailure &failure);

// The whole message, lines separated by '\n'.
QString DescribeFailure(const ExportFailure &failure);

// 第 37 页第 2 次重试，5 秒后: told while the wait before a retry lasts.
QString DescribeRetry(std::int64_t page, int retry, std::int64_t waitMilliseconds);

// What follows "导出完成！": the pages and names written and the time taken,
// then only what there is to tell: empty pages at the end, short pages,
// retries, names written twice. Lines separated by '\n'.
QString DescribeRunReport(const RunReport &report);

} // namespace kestrune

Q_DECLARE_METATYPE(kestrune::ExportFailure)
