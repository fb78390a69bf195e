#pragma once

#include "tests/support/testcertificates.h"

#include <QByteArray>
#include <QSslServer>
#include <QTcpServer>

namespace kestrune {

// A forum over TLS on 127.0.0.1 that gives every request the same canned
// response, and a plain port beside it that redirects each request to the
// same path on the TLS port of the host it was asked for, as forums that
// moved to HTTPS do.
class TlsTestServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TlsTestServer)

public:
    explicit TlsTestServer(QObject *parent = nullptr);

    // Makes the certificates and listens on two free ports; false with
    // ErrorString() when either fails.
    bool Start();
    QString ErrorString() const { return error_; }

    quint16 TlsPort() const { return tls_.serverPort(); }
    quint16 PlainPort() const { return plain_.serverPort(); }
    // The test CA: trusted for Trusted and Expired, not for Untrusted.
    QString CaFile() const { return certificates_.CaFile(); }

    // For the connections that follow.
    void SetCertificate(TestCertificates::Server server);
    // The bytes every TLS request gets, a whole HTTP response.
    void SetResponse(const QByteArray &response) { response_ = response; }
    // A response that closes the connection when sent.
    static QByteArray Response(int status, const QByteArray &body,
                               const QByteArray &extraHeaders = {});

signals:
    // scheme is "http" or "https"; the target as sent.
    void requestReceived(const QByteArray &scheme, const QByteArray &target);

private:
    void Serve(QTcpSocket *socket, bool encrypted);

    TestCertificates certificates_;
    QSslServer tls_;
    QTcpServer plain_;
    QByteArray response_;
    QString error_;
};

} // namespace kestrune
