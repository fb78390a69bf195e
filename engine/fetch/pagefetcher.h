#pragma once

#include "engine/fetch/fetchfailure.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

namespace kestrune {

class Clock;

struct FetchResult
{
    std::optional<FetchFailure> failure{}; // none: the whole body arrived and decoded
    std::string body{};                    // as the decoder built it, never copied on the way
    int status = 0;                        // the HTTP status of the page taken, any status
    QByteArray reason{};                   // the status line's reason phrase
    QByteArray retryAfter{};               // the Retry-After header's value, if sent
    QByteArray address{};                  // the last address asked, after any redirects
};

// Fetches one page at a time with a GET, on the event loop, and reports once
// through finished(). A page counts only when its whole body arrived and its
// compression, if any, ended cleanly; memory stays bounded whatever the
// server sends.
class PageFetcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageFetcher)

public:
    static constexpr qint64 MaxBodyMiB = 16;
    static constexpr qint64 MaxBodyBytes = MaxBodyMiB * 1024 * 1024;
    static constexpr qint64 MaxHeaderKiB = 256;
    static constexpr int MaxRedirects = 10;
    static constexpr int DefaultTimeoutSeconds = 3;
    static constexpr int MinTimeoutSeconds = 3;
    static constexpr int MaxTimeoutSeconds = 60;

    explicit PageFetcher(const Clock &clock, QObject *parent = nullptr);
    ~PageFetcher() override;

    // PEM certificates trusted besides the system's; empty for none.
    void SetCaFile(const QString &path) { caFile_ = path; }
    QString CaFile() const { return caFile_; }
    // Whole-second boundaries a page may take (FetchTimeoutMilliseconds),
    // MinTimeoutSeconds to MaxTimeoutSeconds.
    void SetTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int TimeoutSeconds() const { return timeoutSeconds_; }

    // `address` is a full http:// or https:// address, already encoded.
    void FetchPage(const QByteArray &address);
    // Drops the fetch in progress, if any, without reporting it.
    void Abort();

signals:
    void finished(const kestrune::FetchResult &result);

private:
    class Session; // libcurl's side, kept out of this header
    friend class Session;

    void OnTimeout();
    void Finish(const FetchResult &result);
    // For a transfer libcurl would not start.
    void FailSoon(const FetchFailure &failure);

    const Clock &clock_;
    QString caFile_;
    int timeoutSeconds_ = DefaultTimeoutSeconds;
    QTimer timeout_;
    std::optional<FetchFailure> unstarted_;
    std::unique_ptr<Session> session_;
};

} // namespace kestrune
