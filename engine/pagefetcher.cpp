#include "pagefetcher.h"

#include "clock.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace kestrune {

PageFetcher::PageFetcher(const Clock &clock, QObject *parent)
    : QObject(parent)
    , clock_(clock)
{
    timeout_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, past the 4 s bound.
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &PageFetcher::OnTimeout);
}

PageFetcher::~PageFetcher() { Abort(); }

void PageFetcher::FetchPage(const QUrl &address)
{
    Abort();
    body_.clear();
    QNetworkRequest request(address);
    // Inactivity alone is not the rule; our own timer below is.
    request.setTransferTimeout(0);
    reply_ = network_.get(request);
    const auto sentAt = clock_.WallMilliseconds();
    connect(reply_, &QNetworkReply::readyRead, this, &PageFetcher::OnReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &PageFetcher::OnFinished);
    timeout_.start(static_cast<int>(FetchTimeoutMilliseconds(sentAt)));
}

void PageFetcher::Abort()
{
    timeout_.stop();
    Release();
}

void PageFetcher::Release()
{
    if (!reply_)
        return;
    QNetworkReply *reply = reply_;
    reply_.clear();
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void PageFetcher::OnReadyRead()
{
    body_ += reply_->readAll();
    if (body_.size() > MaxBodyBytes) {
        body_.clear();
        Finish({FetchResult::Outcome::TooLarge, {},
                QStringLiteral("回应超过 %1 MiB").arg(MaxBodyBytes / (1024 * 1024)), 0});
    }
}

void PageFetcher::OnFinished()
{
    body_ += reply_->readAll();
    const QVariant statusAttribute = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    const QNetworkReply::NetworkError error = reply_->error();
    // Content and server errors are HTTP statuses: the page arrived whole.
    const bool httpStatusError = (error >= QNetworkReply::ContentAccessDenied &&
                                  error <= QNetworkReply::UnknownContentError) ||
                                 (error >= QNetworkReply::InternalServerError &&
                                  error <= QNetworkReply::UnknownServerError);
    if (body_.size() > MaxBodyBytes) {
        Finish({FetchResult::Outcome::TooLarge, {},
                QStringLiteral("回应超过 %1 MiB").arg(MaxBodyBytes / (1024 * 1024)), status});
    } else if (error == QNetworkReply::NoError || httpStatusError) {
        Finish({FetchResult::Outcome::Completed, std::move(body_), {}, status});
    } else {
        Finish({FetchResult::Outcome::NetworkError, {}, reply_->errorString(), status});
    }
}

void PageFetcher::OnTimeout()
{
    Finish({FetchResult::Outcome::TimedOut, {}, {}, 0});
}

void PageFetcher::Finish(FetchResult result)
{
    timeout_.stop();
    Release();
    body_.clear();
    emit finished(result);
}

} // namespace kestrune
