#pragma once

#include "engine/fetchfailure.h"
#include "engine/inputcheck.h"
#include "engine/runreport.h"
#include "platform/runtimeerror.h"
#include "platform/usermessage.h"

#include <QMetaType>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// Why a run ended before "导出完成！", where, and what it had saved. The
// engine reports this value; DescribeFailure makes it the message both the
// window and the command line show.
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

// How the program showing a message changes what its advice names, each a
// clause such as 用 --host 指定; empty ones are left out.
struct SettingHints
{
    QString forumAddress{};
    QString caFile{};
    QString timeout{};
    QString otherFolder{}; // how a run is started in another folder
    QString resume{};      // a sentence with %1 for the 名次 to carry on from
};

// For a message's detail: the error's Chinese name with the lower layer's
// words and where: 文件错误（jieguo.txt：拒绝访问）.
QString DescribeError(const RuntimeError &error);

// For a message's detail: the lower layer's words and the full address.
QString DescribeFetchFailure(const FetchFailure &failure);

// What happened, what was saved where and what to do next; the lower
// layers' words in the detail.
UserMessage DescribeFailure(const ExportFailure &failure, const SettingHints &hints = {});

// 5 秒后第 2 次重试第 37 页: told while the wait before a retry lasts.
QString DescribeRetry(std::int64_t page, int retry, std::int64_t waitMilliseconds);

} // namespace kestrune

Q_DECLARE_METATYPE(kestrune::ExportFailure)
