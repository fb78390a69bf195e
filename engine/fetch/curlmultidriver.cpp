#include "engine/fetch/curlmultidriver.h"

#include <algorithm>

namespace kestrune {

void CurlMultiDriver::DeleteLater::operator()(QSocketNotifier *notifier) const
{
    notifier->setEnabled(false);
    notifier->deleteLater();
}

CurlMultiDriver::CurlMultiDriver(QObject *parent)
    : QObject(parent)
{
    // Once for the process, and the answer kept: a failed start-up fails
    // every transfer, never silently.
    static const CURLcode startUp = curl_global_init(CURL_GLOBAL_DEFAULT);
    startUp_ = startUp;
    multi_.reset(curl_multi_init());
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &CurlMultiDriver::OnSocket);
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &CurlMultiDriver::OnCurlTimer);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this);
    curlTimer_.setSingleShot(true);
    // libcurl often asks for a millisecond or none; a coarse Windows timer
    // would round that up to a 15 ms tick, several times a page.
    curlTimer_.setTimerType(Qt::PreciseTimer);
    connect(&curlTimer_, &QTimer::timeout, this, [this] { Drive(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMultiDriver::~CurlMultiDriver()
{
    for (CURL *easy : added_)
        curl_multi_remove_handle(multi_.get(), easy);
    // Closing the cached connections calls back; nothing is watched any more.
    closing_ = true;
    multi_.reset();
}

CURLMcode CurlMultiDriver::Add(CURL *easy)
{
    const CURLMcode code = curl_multi_add_handle(multi_.get(), easy);
    if (code == CURLM_OK)
        added_.insert(easy);
    return code;
}

bool CurlMultiDriver::Remove(CURL *easy)
{
    if (added_.erase(easy) == 0)
        return false;
    curl_multi_remove_handle(multi_.get(), easy);
    return true;
}

int CurlMultiDriver::OnSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<CurlMultiDriver *>(self)->WatchSocket(socket, what);
    return 0;
}

int CurlMultiDriver::OnCurlTimer(CURLM *, long milliseconds, void *self)
{
    auto &driver = *static_cast<CurlMultiDriver *>(self);
    if (driver.closing_)
        return 0;
    if (milliseconds < 0)
        driver.curlTimer_.stop();
    else
        driver.curlTimer_.start(static_cast<int>(std::min<long>(milliseconds, 24L * 3600 * 1000)));
    return 0;
}

void CurlMultiDriver::WatchSocket(curl_socket_t socket, int what)
{
    if (closing_)
        return;
    SocketWatch &watch = sockets_[socket];
    Watch(watch.read, socket, QSocketNotifier::Read, CURL_CSELECT_IN, (what & CURL_POLL_IN) != 0);
    Watch(watch.write, socket, QSocketNotifier::Write, CURL_CSELECT_OUT,
          (what & CURL_POLL_OUT) != 0);
}

void CurlMultiDriver::Watch(Notifier &notifier, curl_socket_t socket, QSocketNotifier::Type type,
                            int event, bool watched)
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
    connect(notifier.get(), &QSocketNotifier::activated, this,
            [this, socket, event] { Drive(socket, event); });
}

void CurlMultiDriver::Drive(curl_socket_t socket, int events)
{
    int running = 0;
    if (const CURLMcode code = curl_multi_socket_action(multi_.get(), socket, events, &running);
        code != CURLM_OK) {
        if (!added_.empty())
            emit driveFailed(code);
        return;
    }
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && added_.count(message->easy_handle) != 0) {
            // The slot may start the next transfer; the queue is stale then.
            emit transferDone(message->easy_handle, message->data.result);
            return;
        }
    }
}

} // namespace kestrune
