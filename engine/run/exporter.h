#pragma once

#include "engine/commit/pagecommit.h"
#include "engine/commit/pageoutcome.h"
#include "engine/commit/runreport.h"
#include "engine/commit/runresults.h"
#include "engine/commit/runtally.h"
#include "engine/fetch/pagefetcher.h"
#include "engine/resume/resumerecord.h"
#include "engine/run/exportfailure.h"
#include "engine/run/folderlock.h"
#include "engine/run/pagewait.h"
#include "engine/run/runfailure.h"
#include "engine/write/exportfiles.h"
#include "engine/write/pagescanner.h"

#include <QDir>
#include <QObject>
#include <memory>
#include <optional>
#include <vector>

namespace kestrune {

class Clock;
class ExportInputs;
class WriteFault;
struct FetchResult;

// The run: one export at a time, page by page (fetch, store, pause, commit),
// with its waits and retries, all driven by the event loop; what a page does
// to the results is the page commit's. Holds the scan state for its whole
// life, so numbering runs on across exports.
class Exporter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Exporter)

public:
    explicit Exporter(const ExportInputs &inputs, QObject *parent = nullptr);
    Exporter(const ExportInputs &inputs, const Clock &clock, QObject *parent = nullptr);
    ~Exporter() override;

    // host[:port] of the forum service, or its base address with a scheme.
    void SetHost(const QString &host) { host_ = host; }
    QString Host() const { return host_; }
    // PEM certificates trusted besides the system's.
    void SetCaFile(const QString &path) { fetcher_.SetCaFile(path); }
    QString CaFile() const { return fetcher_.CaFile(); }
    // Lets a test fail the writes as a full disk would.
    void SetWriteFault(WriteFault *fault) { writeFault_ = fault; }
    // Where temp.txt and jieguo.txt live; the current directory by default.
    void SetDirectory(const QDir &directory) { directory_ = directory; }
    QDir Directory() const { return directory_; }
    // Further tries of a page that failed in a way that may pass, 0 to
    // MaxRetries (engine/fetch/retrywait.h).
    void SetRetries(int retries) { retries_ = retries; }
    int Retries() const { return retries_; }
    // Seconds a page may take (PageFetcher::SetTimeoutSeconds).
    void SetTimeoutSeconds(int seconds) { fetcher_.SetTimeoutSeconds(seconds); }
    int TimeoutSeconds() const { return fetcher_.TimeoutSeconds(); }
    // Whether runs also write a table beside jieguo.txt; on by default.
    void SetTableOn(bool on) { tableOn_ = on; }
    bool TableOn() const { return tableOn_; }
    // The next run's table is `path` (relative to the directory), continued
    // when it is there, or none when empty; later runs make their own again.
    void ContinueTable(const QString &path) { continuedTable_ = path; }
    // The table of the run under way or the last one; empty for none.
    QString TablePath() const { return results_.TablePath(); }
    // The number the next results line gets; numbering runs on otherwise.
    void SetNextNumber(std::int64_t number) { scanner_.RankCounter = number - 1; }

    bool IsRunning() const { return running_; }
    // The forum of the run under way or the last one: read once at its start.
    QString Forum() const { return forumName_; }
    std::int64_t FirstPage() const { return firstPage_; }
    std::int64_t LastPage() const { return lastPage_; }
    std::int64_t NamesWritten() const { return namesThisRun_; }
    // Of the run under way: its pages kept, and where a stop now carries on.
    std::int64_t PagesDone() const { return PageAfter() - firstPage_; }
    std::int64_t ResumeRankNow() const { return ResumeRank(PageAfter(), emptyRun_, fromRank_); }
    const ScannerState &Scanner() const { return scanner_; }

public slots:
    // Starts an export unless one is running; the outcome arrives as
    // completed() or failed().
    void RunExport();
    // Ends the running export where it stands; reported through failed().
    void Stop();

signals:
    void pageStarted(qint64 page);
    void pageFinished(qint64 page, qint64 namesWritten);
    // Try `retry` + 1 of `page` starts after the wait; Stop() ends the wait.
    void retryScheduled(qint64 page, int retry, qint64 waitMilliseconds);
    // Every page is in the file; `report` tells what the run did.
    void completed(const kestrune::RunReport &report);
    void failed(const kestrune::ExportFailure &failure);

private:
    std::int64_t PageAfter() const { return pageDone_ ? pageNumber_ + 1 : pageNumber_; }
    void StartPage();
    void OnFetched(const kestrune::FetchResult &result);
    void StartPause();
    // Another try of the page, after a wait, if any are left.
    bool ScheduleRetry(const FetchFailure &failure);
    void CommitPage();
    void NextPage();
    void Fail(const PageStop &stop);
    bool TakeLock();
    RunReport Report(const EmptyRun &emptyAtEnd) const;
    Expected<> EndRun();
    RunStanding Standing(const EmptyRun &emptyAtEnd) const;
    // The run carries on at `rank`.
    Expected<> SaveResumePoint(std::int64_t rank);

    const ExportInputs &inputs_;
    const Clock &clock_;
    PageFetcher fetcher_;
    PageWait wait_;
    int retries_ = 0;
    int tries_ = 0; // of the current page
    QString host_;
    QString forumName_;
    QDir directory_;
    WriteFault *writeFault_ = nullptr;

    bool running_ = false;
    std::int64_t pageNumber_ = 0;
    std::int64_t firstPage_ = 0;
    std::int64_t lastPage_ = 0;
    std::int64_t fromRank_ = 0; // the from-rank box as read
    std::int64_t toRank_ = 0;
    std::int64_t namesThisRun_ = 0;
    std::int64_t namesOnCurrentPage_ = 0; // written before the page's error
    bool pageDone_ = false;               // the current page is scanned and written
    // The stored page's status when outside 2xx, or its empty answer, as the
    // failure it becomes if the page has no names.
    std::optional<FetchFailure> refusal_;
    EmptyRun emptyRun_;
    FolderLock lock_;
    ScannerState scanner_;
    RunTally tally_;
    bool tableOn_ = true;
    std::optional<QString> continuedTable_;
    RunResults results_;
    ResumeRecord resume_;
};

} // namespace kestrune
