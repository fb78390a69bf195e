#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

namespace kestrune {

class Clock;

struct FetchResult
{
    enum class Outcome
    {
        Completed,    // the whole body arrived and decoded, any HTTP status
        TimedOut,     // the 3-4 s rule fired
        NetworkError, // refused, cut short, undecodable, refused redirect...
        TooLarge,     // the decoded body passed MaxBodyBytes
    };
    Outcome outcome = Outcome::Completed;
    std::string body;   // as the decoder built it, never copied on the way
    QString reason;     // for the failures: what went wrong, in Chinese, with the low-level words
    QByteArray address; // the last address asked, after any redirects
    int status = 0;     // the HTTP status of the page taken
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

    explicit PageFetcher(const Clock &clock, QObject *parent = nullptr);
    ~PageFetcher() override;

    // PEM certificates trusted besides the system's; empty for none.
    void SetCaFile(const QString &path) { caFile_ = path; }
    QString CaFile() const { return caFile_; }

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

    const Clock &clock_;
    QString caFile_;
    QTimer timeout_;
    std::unique_ptr<Session> session_;
};

} // namespace kestrune
