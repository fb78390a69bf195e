#include "tests/support/tlstestserver.h"

#include "tests/support/expectedresults.h"
#include "tools/sampleforum/httpresponse.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

namespace kestrune {

namespace {

// The name the client asked for, so a redirect keeps it (127.0.0.1 or localhost).
QByteArray HostName(const QByteArray &request)
{
    for (const QByteArray &line : request.split('\n')) {
        if (line.toLower().startsWith("host:"))
            return line.mid(5).trimmed().split(':').value(0);
    }
    return "127.0.0.1";
}

} // namespace

TlsTestServer::TlsTestServer(QObject *parent)
    : QObject(parent)
    , response_(Response(200, {}))
{
    // Emitted once the handshake is done.
    connect(&tls_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = tls_.nextPendingConnection())
            Serve(socket, true);
    });
    connect(&plain_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = plain_.nextPendingConnection())
            Serve(socket, false);
    });
}

bool TlsTestServer::Start()
{
    if (!QSslSocket::supportsSsl()) {
        error_ = QStringLiteral("no TLS backend: %1").arg(QSslSocket::activeBackend());
        return false;
    }
    if (!certificates_.Make()) {
        error_ = certificates_.ErrorString();
        return false;
    }
    SetCertificate(TestCertificates::Server::Trusted);
    if (!tls_.listen(QHostAddress::LocalHost, 0) || !plain_.listen(QHostAddress::LocalHost, 0)) {
        error_ = tls_.errorString() + plain_.errorString();
        return false;
    }
    return true;
}

void TlsTestServer::SetCertificate(TestCertificates::Server server)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(
        QSslCertificate(FileBytes(certificates_.CertificateFile(server)), QSsl::Pem));
    configuration.setPrivateKey(
        QSslKey(FileBytes(certificates_.KeyFile()), QSsl::Rsa, QSsl::Pem, QSsl::PrivateKey));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls_.setSslConfiguration(configuration);
}

QByteArray TlsTestServer::Response(int status, const QByteArray &body,
                                   const QByteArray &extraHeaders)
{
    return HttpHead(status, "Content-Type: text/html; charset=gbk\r\nContent-Length: " +
                                QByteArray::number(body.size()) + "\r\n" + extraHeaders) +
           body;
}

void TlsTestServer::Serve(QTcpSocket *socket, bool encrypted)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    const auto answer = [this, socket, encrypted] {
        const QByteArray request = socket->peek(qint64{64} * 1024);
        if (!encrypted && request.startsWith('\x16')) {
            // A TLS handshake on the plain port: refused as web servers do.
            socket->write(Response(400, "bad request\n"));
            socket->disconnectFromHost();
            return;
        }
        if (!request.contains("\r\n\r\n"))
            return;
        socket->readAll();
        const QByteArray target = request.left(request.indexOf("\r\n")).split(' ').value(1);
        emit requestReceived(encrypted ? "https" : "http", target);
        socket->write(encrypted ? response_
                                : Response(301, {},
                                           "Location: https://" + HostName(request) + ':' +
                                               QByteArray::number(TlsPort()) + target + "\r\n"));
        socket->disconnectFromHost();
    };
    connect(socket, &QTcpSocket::readyRead, socket, answer);
    // Bytes that came with the handshake are already waiting.
    if (socket->bytesAvailable() > 0)
        QTimer::singleShot(0, socket, answer);
}

} // namespace kestrune
