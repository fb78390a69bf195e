#include "tests/support/scriptedserver.h"

#include "tools/sampleforum/httpresponse.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#ifdef _WIN32
#include <winsock2.h>
using SocketHandle = SOCKET;
#else
#include <sys/socket.h>
using SocketHandle = int;
#endif

namespace kestrune {

namespace {

QByteArray WithLength(int status, const QByteArray &body)
{
    return ScriptedServer::Head(status,
                                "Content-Length: " + QByteArray::number(body.size()) + "\r\n") +
           body;
}

// A linger of zero makes the close an RST rather than a FIN.
void Reset(QTcpSocket *socket)
{
    const linger hard{1, 0};
    ::setsockopt(static_cast<SocketHandle>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                 reinterpret_cast<const char *>(&hard), sizeof hard);
    socket->abort();
}

} // namespace

ScriptedServer::ScriptedServer(QObject *parent)
    : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, &ScriptedServer::OnConnection);
}

bool ScriptedServer::Listen(QList<Reply> replies)
{
    replies_ = std::move(replies);
    return server_.listen(QHostAddress::LocalHost, 0);
}

QByteArray ScriptedServer::Head(int status, const QByteArray &extraHeaders)
{
    return HttpHead(status, "Content-Type: text/html; charset=gbk\r\n" + extraHeaders);
}

ScriptedServer::Reply ScriptedServer::ResetMidBody()
{
    return {.fault = Fault::Raw,
            .body = Head(200, "Content-Length: 100000\r\n") + GoodPage(),
            .ending = Ending::Reset};
}

QByteArray ScriptedServer::PageEndingOnAName()
{
    return "<a username=\"q\">ZZZ</a>\n<p>" + QByteArray(80, '-') + "</p>\n";
}

void ScriptedServer::OnConnection()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray request = socket->peek(qint64{64} * 1024);
            if (!request.contains("\r\n\r\n"))
                return;
            socket->readAll();
            requests_.append(request.left(request.indexOf("\r\n\r\n") + 4));
            const qsizetype at = std::min(answered_++, replies_.size() - 1);
            Answer(socket, replies_.isEmpty() ? Reply{} : replies_.at(at));
        });
    }
}

void ScriptedServer::Answer(QTcpSocket *socket, const Reply &reply)
{
    switch (reply.fault) {
    case Fault::DripBytes: {
        socket->write(Head(200, "Content-Length: 100000\r\n"));
        auto *drip = new QTimer(socket); // ends with the socket
        QObject::connect(drip, &QTimer::timeout, socket, [socket] {
            if (socket->state() == QAbstractSocket::ConnectedState)
                socket->write("x");
        });
        drip->start(100);
        return;
    }
    case Fault::Status:
        if (!reply.keepAlive) {
            socket->write(WithLength(reply.status, reply.body));
            break;
        }
        socket->write(WithLength(reply.status, reply.body).replace("Connection: close\r\n", ""));
        if (reply.ending == Ending::Stay)
            return;
        break;
    case Fault::Raw:
        socket->write(reply.body);
        if (reply.ending == Ending::Stay)
            return;
        if (reply.ending == Ending::Reset) {
            socket->flush();
            // Abort after the bytes left, so the client sees data then RST.
            QTimer::singleShot(50, socket, [socket] { Reset(socket); });
            return;
        }
        break;
    }
    socket->disconnectFromHost();
}

} // namespace kestrune
