// The TLS test server as a program of its own, so the Windows build can be
// tried against it under Wine: a Windows test cannot run a TLS server itself
// (no openssl to make its certificates, no server side in Schannel's Qt).
//   kestrune-tls-test-forum trusted|untrusted|expired
// prints "tls PORT plain PORT ca FILE" and serves the good page until
// stopped by a signal, when it removes its certificates.
#include "platform/stopsignals.h"
#include "tests/support/fixtures.h"
#include "tests/support/tlstestserver.h"

#include <QCoreApplication>
#include <QTextStream>
#include <map>

using namespace kestrune;
using Certificate = TestCertificates::Server;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const std::map<QString, Certificate> kinds = {
        {QStringLiteral("trusted"), Certificate::Trusted},
        {QStringLiteral("untrusted"), Certificate::Untrusted},
        {QStringLiteral("expired"), Certificate::Expired}};
    QTextStream err(stderr);
    const auto kind = kinds.find(app.arguments().value(1));
    if (kind == kinds.end()) {
        err << "usage: kestrune-tls-test-forum trusted|untrusted|expired\n";
        return 2;
    }
    TlsTestServer server;
    if (!server.Start()) {
        err << server.ErrorString() << '\n';
        return 1;
    }
    server.SetCertificate(kind->second);
    server.SetResponse(TlsTestServer::Response(200, GoodPage()));
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &app, [] { QCoreApplication::quit(); });
    QTextStream(stdout) << "tls " << server.TlsPort() << " plain " << server.PlainPort() << " ca "
                        << server.CaFile() << Qt::endl;
    return app.exec();
}
