#include "engine/fetch/pagefetcher.h"

#include "engine/fetch/bodydecoder.h"
#include "engine/fetch/curlmultidriver.h"
#include "engine/fetch/responsehead.h"
#include "platform/clock.h"

#include <array>
#include <optional>
#include <string>

namespace kestrune {

namespace {

bool IsHttps(const QByteArray &address)
{
    return address.toLower().startsWith("https:");
}

} // namespace

// One libcurl multi handle for the fetcher's life, so a keep-alive connection
// serves the next page, and at most one transfer on it. Every request gets a
// fresh easy handle: libcurl sends a request again on a new connection when a
// reused one died before any byte of the answer, but only five times in a
// handle's life, which a server that drops kept connections uses up within a
// few pages. libcurl knows when a resend is safe, and the connection cache is
// the multi handle's, so keep-alive stays.
class PageFetcher::Session
{
public:
    explicit Session(PageFetcher &owner);
    ~Session() { Release(); }
    Q_DISABLE_COPY_MOVE(Session)

    void Begin(const QByteArray &address)
    {
        redirects_ = 0;
        Start(address);
    }
    void Release();
    const QByteArray &Address() const { return address_; }

private:
    using Kind = FetchFailure::Kind;

    static std::size_t OnHeader(char *data, std::size_t size, std::size_t count, void *self);
    static std::size_t OnBody(char *data, std::size_t size, std::size_t count, void *self);

    void Configure();
    void Start(const QByteArray &address);
    void OnTransferDone(CURLcode code);
    // Kept until libcurl ends the transfer, which the 0 returned makes it do.
    std::size_t Refuse(Kind kind, const QString &detail = {})
    {
        refusal_ = FetchFailure{kind, detail, address_};
        return 0;
    }
    void Fail(Kind kind, const QString &detail = {})
    {
        owner_.Finish({.failure = FetchFailure{kind, detail, address_}});
    }

    PageFetcher &owner_;
    CurlMultiDriver driver_;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy_{nullptr, &curl_easy_cleanup};
    // No cookie engine is ever switched on: the ranking pages need none, and
    // a server cannot grow our memory or our requests with them.
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> requestHeaders_{
        curl_slist_append(nullptr, "Accept-Encoding: gzip, deflate"), &curl_slist_free_all};

    // The transfer under way.
    QByteArray address_;
    int redirects_ = 0;
    qint64 headerBytes_ = 0;
    ResponseHead head_;
    std::optional<BodyDecoder> decoder_;
    std::optional<FetchFailure> refusal_;
    std::array<char, CURL_ERROR_SIZE> errorText_{};
};

PageFetcher::Session::Session(PageFetcher &owner)
    : owner_(owner)
{
    QObject::connect(&driver_, &CurlMultiDriver::transferDone, &owner_,
                     [this](CURL *, CURLcode code) { OnTransferDone(code); });
    QObject::connect(&driver_, &CurlMultiDriver::driveFailed, &owner_, [this](CURLMcode code) {
        Fail(Kind::LibraryFailed, QString::fromLatin1(curl_multi_strerror(code)));
    });
}

void PageFetcher::Session::Configure()
{
    CURL *easy = easy_.get();
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    // Our own decoder inflates, so it can stop at the page limit.
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, requestHeaders_.get());
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/5.0");
    // Redirects are decided below, one at a time.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText_.data());
#ifdef _WIN32
    // Schannel refuses a chain whose revocation it cannot look up, which is
    // every chain of a re-signing proxy's CA; a revoked one stays refused.
    curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Session::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Session::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

void PageFetcher::Session::Start(const QByteArray &address)
{
    Release();
    address_ = address;
    headerBytes_ = 0;
    head_ = {};
    refusal_.reset();
    errorText_[0] = '\0';

    if (const CURLcode startUp = driver_.StartUpCode(); startUp != CURLE_OK) {
        owner_.FailSoon(
            {Kind::LibraryFailed, QString::fromLatin1(curl_easy_strerror(startUp)), address_});
        return;
    }
    easy_.reset(curl_easy_init());
    if (!easy_) {
        owner_.FailSoon({Kind::CouldNotStart,
                         QString::fromLatin1(curl_easy_strerror(CURLE_OUT_OF_MEMORY)), address_});
        return;
    }
    Configure();
    CURL *easy = easy_.get();
    if (const QByteArray caFile = owner_.caFile_.toLocal8Bit(); !caFile.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.constData()); // copied by libcurl
    curl_easy_setopt(easy, CURLOPT_URL, address_.constData());
    if (const CURLMcode code = driver_.Add(easy); code != CURLM_OK)
        owner_.FailSoon(
            {Kind::CouldNotStart, QString::fromLatin1(curl_multi_strerror(code)), address_});
}

void PageFetcher::Session::Release()
{
    if (easy_)
        driver_.Remove(easy_.get());
    decoder_.reset();
}

std::size_t PageFetcher::Session::OnHeader(char *data, std::size_t size, std::size_t count,
                                           void *self)
{
    auto &session = *static_cast<Session *>(self);
    const std::size_t length = size * count;
    session.headerBytes_ += static_cast<qint64>(length);
    if (session.headerBytes_ > MaxHeaderKiB * 1024)
        return session.Refuse(Kind::HeadersTooLarge);
    session.head_.Read(std::string_view(data, length));
    return length;
}

std::size_t PageFetcher::Session::OnBody(char *data, std::size_t size, std::size_t count,
                                         void *self)
{
    auto &session = *static_cast<Session *>(self);
    const std::size_t length = size * count;
    if (!session.decoder_) {
        session.decoder_.emplace(session.head_.contentEncoding, MaxBodyBytes);
        curl_off_t announced = -1;
        curl_easy_getinfo(session.easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (announced > 0)
            session.decoder_->ReserveIdentity(static_cast<std::size_t>(announced));
    }
    if (session.decoder_->Unknown())
        return session.Refuse(Kind::UnaskedEncoding,
                              QString::fromStdString(session.head_.contentEncoding));
    switch (session.decoder_->Feed(std::string_view(data, length))) {
    case BodyDecoder::Status::Ok:
        return length;
    case BodyDecoder::Status::TooLarge:
        return session.Refuse(Kind::BodyTooLarge);
    case BodyDecoder::Status::Corrupt:
        return session.Refuse(Kind::CorruptCompression);
    case BodyDecoder::Status::Trailing:
        return session.Refuse(Kind::TrailingBytes);
    }
    return 0;
}

void PageFetcher::Session::OnTransferDone(CURLcode code)
{
    if (refusal_) {
        owner_.Finish({.failure = refusal_});
        return;
    }
    if (code != CURLE_OK) {
        const char *words = errorText_[0] != '\0' ? errorText_.data() : curl_easy_strerror(code);
        // libcurl passes on the system's error texts, in the locale's encoding.
        Fail(KindOfCurlError(code, errorText_.data()), QString::fromLocal8Bit(words));
        return;
    }
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    const char *location = nullptr;
    curl_easy_getinfo(easy_.get(), CURLINFO_REDIRECT_URL, &location);
    if (status >= 300 && status < 400 && location) {
        const QByteArray target(location);
        if (IsHttps(address_) && !IsHttps(target))
            Fail(Kind::InsecureRedirect, QString::fromLatin1(target));
        else if (++redirects_ > MaxRedirects)
            Fail(Kind::TooManyRedirects);
        else
            Start(target);
        return;
    }

    if (!decoder_)
        decoder_.emplace(head_.contentEncoding, MaxBodyBytes);
    if (!decoder_->Finished()) {
        Fail(Kind::UnfinishedCompression);
        return;
    }
    owner_.Finish({std::nullopt, decoder_->TakePage(), static_cast<int>(status),
                   QByteArray::fromStdString(head_.reason),
                   QByteArray::fromStdString(head_.retryAfter), address_});
}

PageFetcher::PageFetcher(const Clock &clock, QObject *parent)
    : QObject(parent)
    , clock_(clock)
    , session_(std::make_unique<Session>(*this))
{
    timeout_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, past the boundary.
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &PageFetcher::OnTimeout);
}

PageFetcher::~PageFetcher() = default;

void PageFetcher::FetchPage(const QByteArray &address)
{
    Abort();
    const auto sentAt = clock_.WallMilliseconds();
    timeout_.start(static_cast<int>(
        clock_.TimerMilliseconds(FetchTimeoutMilliseconds(sentAt, timeoutSeconds_))));
    session_->Begin(address);
}

void PageFetcher::Abort()
{
    timeout_.stop();
    unstarted_.reset();
    session_->Release();
}

void PageFetcher::FailSoon(const FetchFailure &failure)
{
    // Told from the event loop, never from inside FetchPage().
    unstarted_ = failure;
    timeout_.start(0);
}

void PageFetcher::OnTimeout()
{
    Finish({.failure = unstarted_.value_or(FetchFailure{FetchFailure::Kind::TimedOut,
                                                        QString::number(timeoutSeconds_),
                                                        session_->Address()})});
}

void PageFetcher::Finish(const FetchResult &result)
{
    Abort();
    emit finished(result);
}

} // namespace kestrune
