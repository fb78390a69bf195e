#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <set>

namespace kestrune {

// Runs libcurl's multi-socket interface on Qt's event loop: libcurl's
// sockets are watched with notifiers and its timer with a QTimer. Knows
// nothing of what the transfers carry; their owners keep their easy handles.
class CurlMultiDriver final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CurlMultiDriver)

public:
    explicit CurlMultiDriver(QObject *parent = nullptr);
    ~CurlMultiDriver() override;

    // What libcurl's start-up gave; no transfer can work unless CURLE_OK.
    CURLcode StartUpCode() const { return startUp_; }

    // Starts a transfer; anything but CURLM_OK means it never will.
    CURLMcode Add(CURL *easy);
    // Drops a transfer, done or not; false if it was not added.
    bool Remove(CURL *easy);

signals:
    // Once per transfer added, unless removed first. The handle is still
    // added: the slot removes it, and may add it or another again.
    void transferDone(CURL *easy, CURLcode code);
    // libcurl failed to drive its transfers: those added will not finish.
    void driveFailed(CURLMcode code);

private:
    // A notifier may be dropped from inside its own activated() signal.
    struct DeleteLater
    {
        void operator()(QSocketNotifier *notifier) const;
    };
    using Notifier = std::unique_ptr<QSocketNotifier, DeleteLater>;
    struct MultiCleanup
    {
        void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
    };
    struct SocketWatch
    {
        Notifier read;
        Notifier write;
    };

    static int OnSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int OnCurlTimer(CURLM *multi, long milliseconds, void *self);

    void WatchSocket(curl_socket_t socket, int what);
    void Watch(Notifier &notifier, curl_socket_t socket, QSocketNotifier::Type type, int event,
               bool watched);
    void Drive(curl_socket_t socket, int events);

    CURLcode startUp_ = CURLE_OK;
    std::unique_ptr<CURLM, MultiCleanup> multi_;
    std::set<CURL *> added_;
    // Kept by descriptor number while the driver lives, disabled when
    // libcurl lets go of a socket: the next connection usually gets the same
    // number, and its notifiers are then only switched on again.
    std::map<curl_socket_t, SocketWatch> sockets_;
    QTimer curlTimer_;
    bool closing_ = false;
};

} // namespace kestrune
