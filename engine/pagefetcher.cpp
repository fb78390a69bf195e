#include "pagefetcher.h"

#include "clock.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace kestrune {

namespace {

// The body length the server announced, when the body arrives as sent;
// -1 when unknown or when the body was decompressed on the way.
qint64 DeclaredLength(const QNetworkReply &reply)
{
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return -1;
    bool ok = false;
    const qint64 length = reply.rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok ? length : -1;
}

QString TooLargeReason()
{
    return QStringLiteral("回应超过 %1 MiB").arg(PageFetcher::MaxBodyMiB);
}

} // namespace

PageFetcher::PageFetcher(const Clock &clock, QObject *parent)
    : QObject(parent)
    , clock_(clock)
{
    timeout_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, past the 4 s bound.
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &PageFetcher::OnTimeout);
}

PageFetcher::~PageFetcher()
{
    Abort();
}

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
        Finish({FetchResult::Outcome::TooLarge, {}, TooLargeReason()});
    }
}

void PageFetcher::OnFinished()
{
    body_ += reply_->readAll();
    const QNetworkReply::NetworkError error = reply_->error();
    // Content and server errors are HTTP statuses: the page arrived whole.
    const bool httpStatusError =
        (error >= QNetworkReply::ContentAccessDenied &&
         error <= QNetworkReply::UnknownContentError) ||
        (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    const qint64 declared = DeclaredLength(*reply_);
    if (body_.size() > MaxBodyBytes) {
        Finish({FetchResult::Outcome::TooLarge, {}, TooLargeReason()});
    } else if (error != QNetworkReply::NoError && !httpStatusError) {
        Finish({FetchResult::Outcome::NetworkError, {}, reply_->errorString()});
    } else if (body_.size() < declared) {
        // The network layer sometimes reports a connection reset mid-body as
        // success; a short body must not be taken for the page.
        Finish({FetchResult::Outcome::NetworkError,
                {},
                QStringLiteral("连接在回应传完之前中断（收到 %1 / %2 字节）")
                    .arg(body_.size())
                    .arg(declared)});
    } else {
        Finish({FetchResult::Outcome::Completed, std::move(body_), {}});
    }
}

void PageFetcher::OnTimeout()
{
    Finish({FetchResult::Outcome::TimedOut, {}, {}});
}

void PageFetcher::Finish(const FetchResult &result)
{
    timeout_.stop();
    Release();
    body_.clear();
    emit finished(result);
}

} // namespace kestrune
