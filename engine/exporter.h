#pragma once

#include "pagefetcher.h"
#include "pagescanner.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QObject>
#include <QTimer>
#include <optional>

namespace kestrune {

class Clock;
class ExportInputs;
class RuntimeError;
struct FetchResult;

inline constexpr char PageFileName[] = "temp.txt";
inline constexpr char ResultsFileName[] = "jieguo.txt";

// One export at a time: page range, then for every page fetch, store, pause
// and scan, all driven by the event loop. Holds the export state for its whole
// life, so numbering runs on across exports.
class Exporter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Exporter)

public:
    explicit Exporter(const ExportInputs &inputs, QObject *parent = nullptr);
    Exporter(const ExportInputs &inputs, const Clock &clock, QObject *parent = nullptr);
    ~Exporter() override;

    // host:port of the forum service.
    void SetHost(const QString &host) { host_ = host; }
    QString Host() const { return host_; }
    // Where temp.txt and jieguo.txt live; the current directory by default.
    void SetDirectory(const QDir &directory) { directory_ = directory; }

    bool IsRunning() const { return running_; }
    std::int64_t FirstPage() const { return firstPage_; }
    std::int64_t LastPage() const { return lastPage_; }
    std::int64_t NamesWritten() const { return namesThisRun_; }
    const ScannerState &Scanner() const { return scanner_; }

    static QString CompletionMessage();

public slots:
    // Starts an export unless one is running; the outcome arrives as
    // completed() or failed().
    void RunExport();
    // Ends the running export where it stands; reported through failed().
    void Stop();

signals:
    void pageStarted(qint64 page);
    void pageFinished(qint64 page, qint64 namesWritten);
    void completed(const QString &message);
    void failed(const QString &message);

private:
    void StartPage();
    void OnFetched(const kestrune::FetchResult &result);
    void StorePage(const QByteArray &body);
    void StartPause();
    void OnPauseTick();
    void ScanPage();
    void Fail(const RuntimeError &error);
    void EndRun();
    std::filesystem::path FilePath(const char *name) const;

    const ExportInputs &inputs_;
    const Clock &clock_;
    PageFetcher fetcher_;
    QTimer pauseTimer_;
    QDeadlineTimer pauseDeadline_;
    QString host_;
    QDir directory_;

    bool running_ = false;
    std::int64_t pageNumber_ = 0;
    std::int64_t firstPage_ = 0;
    std::int64_t lastPage_ = 0;
    std::int64_t namesThisRun_ = 0;
    bool resultsLineOpen_ = false;
    ScannerState scanner_;
};

} // namespace kestrune
