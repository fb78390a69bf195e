#include "engine/pagefetcher.h"

#include "engine/bodydecoder.h"
#include "platform/clock.h"

#include <QSocketNotifier>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cctype>
#include <curl/curl.h>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace kestrune {

namespace {

struct MultiCleanup
{
    void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
};
struct EasyCleanup
{
    void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};
struct ListCleanup
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
// A notifier may be dropped from inside its own activated() signal.
struct DeleteLater
{
    void operator()(QSocketNotifier *notifier) const
    {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
};
using Notifier = std::unique_ptr<QSocketNotifier, DeleteLater>;

void InitialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// libcurl passes on the system's error texts, in the locale's encoding.
QString LocalText(const char *text)
{
    return QString::fromLocal8Bit(text);
}

// The usual reasons a certificate is refused, in the user's words; the
// TLS library's own words (OpenSSL's or Schannel's) follow them.
QString CertificateProblem(const char *detail)
{
    struct Reason
    {
        std::initializer_list<const char *> words;
        const char16_t *text;
    };
    static const Reason reasons[] = {
        {{"expired", "cert_trust_is_not_time_valid"}, u"证书已过期"},
        {{"not yet valid"}, u"证书尚未生效"},
        {{"issuer", "self-signed", "self signed", "untrusted", "partial_chain"},
         u"证书不是受信任的机构签发的"},
        {{"subject name", "hostname", "does not match"}, u"证书与主机名不符"},
    };
    const QByteArray lower = QByteArray(detail).toLower();
    for (const Reason &reason : reasons) {
        for (const char *word : reason.words) {
            if (lower.contains(word))
                return QString::fromUtf16(reason.text);
        }
    }
    return QStringLiteral("证书无效");
}

// What libcurl's code means to a user, with its own words for the details.
QString DescribeCurlError(CURLcode code, const char *detail)
{
    QString what;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        what = QStringLiteral("找不到主机");
        break;
    case CURLE_COULDNT_CONNECT:
        what = QStringLiteral("无法连接");
        break;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        what = QStringLiteral("连接中断");
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        what = CertificateProblem(detail);
        break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        what = QStringLiteral("TLS 连接失败");
        break;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        what = QStringLiteral("地址无效");
        break;
    case CURLE_OUT_OF_MEMORY:
        // libcurl's word for a header line past its 100 KiB limit.
        return QStringLiteral("回应无效：回应头的一行过长");
    default:
        what = QStringLiteral("回应无效");
        break;
    }
    const QString words =
        detail[0] != '\0' ? LocalText(detail) : LocalText(curl_easy_strerror(code));
    return what + QStringLiteral("：") + words;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

bool IsHttps(const QByteArray &address)
{
    return address.toLower().startsWith("https:");
}

} // namespace

// One libcurl multi handle for the fetcher's life, so a keep-alive connection
// serves the next page, and at most one transfer on it.
class PageFetcher::Session
{
public:
    explicit Session(PageFetcher &owner);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void Begin(const QByteArray &address);
    void Release();
    const QByteArray &Address() const { return address_; }

private:
    struct SocketWatch
    {
        Notifier read;
        Notifier write;
    };

    static int OnSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int OnCurlTimer(CURLM *multi, long milliseconds, void *self);
    static std::size_t OnHeader(char *data, std::size_t size, std::size_t count, void *self);
    static std::size_t OnBody(char *data, std::size_t size, std::size_t count, void *self);

    void Configure();
    void Start(const QByteArray &address);
    void WatchSocket(curl_socket_t socket, int what);
    void Watch(Notifier &notifier, curl_socket_t socket, QSocketNotifier::Type type, int event,
               bool watched);
    void Drive(curl_socket_t socket, int events);
    void OnTransferDone(CURLcode code);
    void Refuse(FetchResult::Outcome outcome, const QString &reason);
    void Report(FetchResult::Outcome outcome, const QString &reason, std::string body = {},
                int status = 0);

    PageFetcher &owner_;
    std::unique_ptr<CURLM, MultiCleanup> multi_;
    // One easy handle for every transfer, so its options are set once.
    std::unique_ptr<CURL, EasyCleanup> easy_;
    bool inMulti_ = false;
    std::unique_ptr<curl_slist, ListCleanup> requestHeaders_;
    QByteArray caFile_; // the one the handle has
    // Kept by descriptor number while the fetcher lives, disabled when
    // libcurl lets go of a socket: the next connection usually gets the same
    // number, and its notifiers are then only switched on again.
    std::map<curl_socket_t, SocketWatch> sockets_;
    QTimer curlTimer_;
    bool closing_ = false;

    // The transfer under way.
    QByteArray address_;
    int redirects_ = 0;
    qint64 headerBytes_ = 0;
    std::string contentEncoding_;
    std::optional<BodyDecoder> decoder_;
    std::optional<std::pair<FetchResult::Outcome, QString>> refusal_;
    std::array<char, CURL_ERROR_SIZE> errorText_{};
};

PageFetcher::Session::Session(PageFetcher &owner)
    : owner_(owner)
{
    InitialiseCurlOnce();
    multi_.reset(curl_multi_init());
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &Session::OnSocket);
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &Session::OnCurlTimer);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this);
    curlTimer_.setSingleShot(true);
    // libcurl often asks for a millisecond or none; a coarse Windows timer
    // would round that up to a 15 ms tick, several times a page.
    curlTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&curlTimer_, &QTimer::timeout, &owner_,
                     [this] { Drive(CURL_SOCKET_TIMEOUT, 0); });
    // No cookie engine is ever switched on: the ranking pages need none, and
    // a server cannot grow our memory or our requests with them.
    requestHeaders_.reset(curl_slist_append(nullptr, "Accept-Encoding: gzip, deflate"));
    easy_.reset(curl_easy_init());
    Configure();
}

PageFetcher::Session::~Session()
{
    Release();
    closing_ = true;
    easy_.reset();
    multi_.reset();
}

void PageFetcher::Session::Begin(const QByteArray &address)
{
    redirects_ = 0;
    Start(address);
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
    contentEncoding_.clear();
    decoder_.reset();
    refusal_.reset();
    errorText_[0] = '\0';

    CURL *easy = easy_.get();
    const QByteArray caFile = owner_.caFile_.toLocal8Bit();
    if (caFile != caFile_) {
        // Only a fresh handle goes back to libcurl's own certificate store.
        if (caFile.isEmpty()) {
            curl_easy_reset(easy);
            Configure();
        } else {
            curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.constData()); // copied by libcurl
        }
        caFile_ = caFile;
    }
    curl_easy_setopt(easy, CURLOPT_URL, address_.constData());
    inMulti_ = curl_multi_add_handle(multi_.get(), easy) == CURLM_OK;
}

void PageFetcher::Session::Release()
{
    if (!inMulti_)
        return;
    inMulti_ = false;
    curl_multi_remove_handle(multi_.get(), easy_.get());
    decoder_.reset();
}

int PageFetcher::Session::OnSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<Session *>(self)->WatchSocket(socket, what);
    return 0;
}

int PageFetcher::Session::OnCurlTimer(CURLM *, long milliseconds, void *self)
{
    auto &session = *static_cast<Session *>(self);
    if (session.closing_)
        return 0;
    if (milliseconds < 0)
        session.curlTimer_.stop();
    else
        session.curlTimer_.start(static_cast<int>(std::min<long>(milliseconds, 24L * 3600 * 1000)));
    return 0;
}

void PageFetcher::Session::WatchSocket(curl_socket_t socket, int what)
{
    if (closing_)
        return;
    SocketWatch &watch = sockets_[socket];
    Watch(watch.read, socket, QSocketNotifier::Read, CURL_CSELECT_IN, (what & CURL_POLL_IN) != 0);
    Watch(watch.write, socket, QSocketNotifier::Write, CURL_CSELECT_OUT,
          (what & CURL_POLL_OUT) != 0);
}

void PageFetcher::Session::Watch(Notifier &notifier, curl_socket_t socket,
                                 QSocketNotifier::Type type, int event, bool watched)
{
    // Made only when first wanted: every change to the event loop's poll set
    // wakes the loop with a system call. setEnabled() is free when unchanged.
    if (notifier) {
        notifier->setEnabled(watched);
        return;
    }
    if (!watched)
        return;
    notifier.reset(new QSocketNotifier(static_cast<qintptr>(socket), type));
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &owner_,
                     [this, socket, event] { Drive(socket, event); });
}

void PageFetcher::Session::Drive(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(multi_.get(), socket, events, &running);
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && inMulti_ && message->easy_handle == easy_.get()) {
            // What follows may start the next transfer; the queue is stale then.
            OnTransferDone(message->data.result);
            return;
        }
    }
}

std::size_t PageFetcher::Session::OnHeader(char *data, std::size_t size, std::size_t count,
                                           void *self)
{
    auto &session = *static_cast<Session *>(self);
    const std::size_t length = size * count;
    session.headerBytes_ += static_cast<qint64>(length);
    if (session.headerBytes_ > MaxHeaderKiB * 1024) {
        session.Refuse(FetchResult::Outcome::NetworkError,
                       QStringLiteral("回应无效：回应头超过 %1 KiB").arg(MaxHeaderKiB));
        return 0;
    }
    const std::string_view line(data, length);
    if (StartsWithNoCase(line, "http/")) {
        // A new response (after an interim 1xx) starts its headers afresh.
        session.contentEncoding_.clear();
    } else if (StartsWithNoCase(line, "content-encoding:")) {
        const std::string_view value = Trimmed(line.substr(17));
        if (!value.empty()) {
            if (!session.contentEncoding_.empty())
                session.contentEncoding_ += ',';
            session.contentEncoding_ += value;
        }
    }
    return length;
}

std::size_t PageFetcher::Session::OnBody(char *data, std::size_t size, std::size_t count,
                                         void *self)
{
    auto &session = *static_cast<Session *>(self);
    const std::size_t length = size * count;
    if (!session.decoder_) {
        session.decoder_.emplace(session.contentEncoding_, MaxBodyBytes);
        curl_off_t announced = -1;
        curl_easy_getinfo(session.easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        if (announced > 0)
            session.decoder_->ReserveIdentity(static_cast<std::size_t>(announced));
    }
    if (session.decoder_->Unknown()) {
        session.Refuse(FetchResult::Outcome::NetworkError,
                       QStringLiteral("回应无效：未请求过的内容编码 %1")
                           .arg(QString::fromStdString(session.contentEncoding_)));
        return 0;
    }
    switch (session.decoder_->Feed(std::string_view(data, length))) {
    case BodyDecoder::Status::Ok:
        return length;
    case BodyDecoder::Status::TooLarge:
        session.Refuse(FetchResult::Outcome::TooLarge,
                       QStringLiteral("回应超过 %1 MiB").arg(MaxBodyMiB));
        return 0;
    case BodyDecoder::Status::Corrupt:
        session.Refuse(FetchResult::Outcome::NetworkError,
                       QStringLiteral("解压失败：压缩数据无效"));
        return 0;
    case BodyDecoder::Status::Trailing:
        session.Refuse(FetchResult::Outcome::NetworkError,
                       QStringLiteral("解压失败：压缩数据之后还有多余的字节"));
        return 0;
    }
    return 0;
}

void PageFetcher::Session::Refuse(FetchResult::Outcome outcome, const QString &reason)
{
    refusal_.emplace(outcome, reason);
}

void PageFetcher::Session::OnTransferDone(CURLcode code)
{
    if (refusal_) {
        const auto [outcome, reason] = *refusal_;
        Report(outcome, reason);
        return;
    }
    if (code != CURLE_OK) {
        Report(FetchResult::Outcome::NetworkError, DescribeCurlError(code, errorText_.data()));
        return;
    }
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    const char *location = nullptr;
    curl_easy_getinfo(easy_.get(), CURLINFO_REDIRECT_URL, &location);
    if (status >= 300 && status < 400 && location) {
        const QByteArray target(location);
        if (IsHttps(address_) && !IsHttps(target)) {
            Report(FetchResult::Outcome::NetworkError,
                   QStringLiteral("拒绝重定向：从 https 转到不加密的 %1")
                       .arg(QString::fromLatin1(location)));
            return;
        }
        if (++redirects_ > MaxRedirects) {
            Report(FetchResult::Outcome::NetworkError,
                   QStringLiteral("重定向超过 %1 次").arg(MaxRedirects));
            return;
        }
        Start(target);
        return;
    }
    if (!decoder_)
        decoder_.emplace(contentEncoding_, MaxBodyBytes);
    if (!decoder_->Finished()) {
        Report(FetchResult::Outcome::NetworkError,
               QStringLiteral("解压失败：压缩数据在回应结束时还没有结束"));
        return;
    }
    Report(FetchResult::Outcome::Completed, {}, decoder_->TakePage(), static_cast<int>(status));
}

void PageFetcher::Session::Report(FetchResult::Outcome outcome, const QString &reason,
                                  std::string body, int status)
{
    FetchResult result{outcome, std::move(body), reason, address_, status};
    owner_.Finish(result);
}

PageFetcher::PageFetcher(const Clock &clock, QObject *parent)
    : QObject(parent)
    , clock_(clock)
    , session_(std::make_unique<Session>(*this))
{
    timeout_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, past the 4 s bound.
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &PageFetcher::OnTimeout);
}

PageFetcher::~PageFetcher() = default;

void PageFetcher::FetchPage(const QByteArray &address)
{
    Abort();
    const auto sentAt = clock_.WallMilliseconds();
    session_->Begin(address);
    timeout_.start(static_cast<int>(clock_.TimerMilliseconds(FetchTimeoutMilliseconds(sentAt))));
}

void PageFetcher::Abort()
{
    timeout_.stop();
    session_->Release();
}

void PageFetcher::OnTimeout()
{
    Finish({FetchResult::Outcome::TimedOut, {}, {}, session_->Address(), 0});
}

void PageFetcher::Finish(const FetchResult &result)
{
    Abort();
    emit finished(result);
}

} // namespace kestrune
