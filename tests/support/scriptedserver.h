#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

namespace kestrune {

// A loopback HTTP server that answers page 1 with a small good page and every
// other page with the misbehaviour it is set to.
class ScriptedServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptedServer)

public:
    enum class Fault
    {
        Good,        // 200 with `body`
        NeverAnswer, // accepts and stays silent
        HeadersThenStall,
        StreamForever, // close-delimited body that never ends
        DripBytes,     // one byte every 100 ms
        ResetMidBody,
        Status,    // `status` with `body` (may be empty)
        Oversized, // Content-Length just over 16 MiB, body sent in full
        Raw,       // `body` as the whole reply, head included, then `ending`
    };
    // How a Raw reply leaves the connection.
    enum class Ending
    {
        Close, // a clean FIN
        Reset, // an RST
        Stay,  // open and silent
    };

    explicit ScriptedServer(QObject *parent = nullptr);

    bool Listen();
    quint16 Port() const { return server_.serverPort(); }
    void SetFault(Fault fault, QByteArray body = {}, int status = 200);
    void SetRaw(QByteArray reply, Ending ending);
    // Request heads as received, in order.
    const QList<QByteArray> &Requests() const { return requests_; }

    static QByteArray Gzip(const QByteArray &data);
    // zlib-wrapped, or bare deflate as some servers send it.
    static QByteArray Deflate(const QByteArray &data, bool bare);
    // A reply head with Connection: close and the given extra header lines.
    static QByteArray Head(int status, const QByteArray &extraHeaders);

    // The good page: two members, "AAA" level 5 and "BBB" level 17.
    static QByteArray GoodPage();
    // A page whose one member "ZZZ" has no value, so it leaves its results
    // line open; filler after it keeps the name's field inside the file.
    static QByteArray PageEndingOnAName();

private:
    void OnConnection();
    void Answer(QTcpSocket *socket, const QByteArray &target);

    QTcpServer server_;
    Fault fault_ = Fault::Good;
    QByteArray body_;
    int status_ = 200;
    Ending ending_ = Ending::Close;
    QList<QByteArray> requests_;
};

} // namespace kestrune
