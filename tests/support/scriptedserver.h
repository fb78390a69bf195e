#pragma once

#include "tests/support/fixtures.h"

#include <QByteArray>
#include <QList>
#include <QTcpServer>

namespace kestrune {

// A loopback HTTP server that answers each request in turn from a script of
// replies, good ones and misbehaving ones.
class ScriptedServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptedServer)

public:
    enum class Fault
    {
        DripBytes, // one byte every 100 ms
        Status,    // `status` with `body` (may be empty)
        Raw,       // `body` as the whole reply, head included, then `ending`
    };
    // How a Raw reply leaves the connection.
    enum class Ending
    {
        Close, // a clean FIN
        Reset, // an RST
        Stay,  // open and silent
    };
    struct Reply
    {
        Fault fault = Fault::Status;
        QByteArray body = GoodPage();  // Status: the body; Raw: the whole reply
        int status = 200;              // Status only
        Ending ending = Ending::Close; // Raw, and Status with keepAlive
        // Status only: no Connection: close; the connection then ends as
        // `ending` says, or stays for the next request, which a Raw reply
        // may drop unanswered.
        bool keepAlive = false;
    };

    explicit ScriptedServer(QObject *parent = nullptr);

    // On a free loopback port. The first request gets the first reply, the
    // next the second, and so on; the last answers every request past the
    // list. None: good pages.
    bool Listen(QList<Reply> replies = {});
    quint16 Port() const { return server_.serverPort(); }
    // Request heads as received, in order.
    const QList<QByteArray> &Requests() const { return requests_; }

    // A reply head with Connection: close and the given extra header lines.
    static QByteArray Head(int status, const QByteArray &extraHeaders);

    // Headers and part of the good page, then an RST.
    static Reply ResetMidBody();
    // A page whose one member "ZZZ" has no value, so it leaves its results
    // line open; filler after it keeps the name's field inside the file.
    static QByteArray PageEndingOnAName();

private:
    void OnConnection();
    static void Answer(QTcpSocket *socket, const Reply &reply);

    QTcpServer server_;
    QList<Reply> replies_;
    qsizetype answered_ = 0; // of the script's requests
    QList<QByteArray> requests_;
};

} // namespace kestrune
