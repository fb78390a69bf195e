#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace kestrune {

class Clock;

struct FetchResult
{
    enum class Outcome
    {
        Completed,    // any HTTP status; the body is the page
        TimedOut,     // the 3-4 s rule fired
        NetworkError, // refused, reset, unreachable...
        TooLarge,     // body passed MaxBodyBytes
    };
    Outcome outcome = Outcome::Completed;
    QByteArray body;
    QString reason; // for the failures, the network layer's words
};

// Fetches one page at a time with a GET and reports once through finished().
class PageFetcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageFetcher)

public:
    static constexpr qint64 MaxBodyMiB = 16;
    static constexpr qint64 MaxBodyBytes = MaxBodyMiB * 1024 * 1024;

    explicit PageFetcher(const Clock &clock, QObject *parent = nullptr);
    ~PageFetcher() override;

    void FetchPage(const QUrl &address);
    // Drops the fetch in progress, if any, without reporting it.
    void Abort();

signals:
    void finished(const kestrune::FetchResult &result);

private:
    void OnReadyRead();
    void OnFinished();
    void OnTimeout();
    void Finish(const FetchResult &result);
    void Release();

    const Clock &clock_;
    QNetworkAccessManager network_;
    QTimer timeout_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
};

} // namespace kestrune
