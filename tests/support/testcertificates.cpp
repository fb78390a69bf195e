#include "tests/support/testcertificates.h"

#include "tests/support/expectedresults.h"

#include <QProcess>

namespace kestrune {

namespace {

// Our own configuration, so the machine's openssl.cnf plays no part.
constexpr char Config[] = R"([ca]
default_ca = test_ca

[test_ca]
database = index.txt
serial = serial.txt
new_certs_dir = .
default_md = sha256
policy = any_name
unique_subject = no
x509_extensions = server_extensions

[any_name]
commonName = supplied

[server_extensions]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid

[req]
distinguished_name = req_name
prompt = no

[req_name]
CN = unused

[ca_extensions]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
)";

} // namespace

QString TestCertificates::CertificateFile(Server server) const
{
    switch (server) {
    case Server::Trusted:
        break;
    case Server::Untrusted:
        return Path("untrusted.pem");
    case Server::Expired:
        return Path("expired.pem");
    }
    return Path("trusted.pem");
}

bool TestCertificates::OpenSsl(const QString &command)
{
    const QStringList arguments = command.split(QLatin1Char(' '));
    QProcess openssl;
    openssl.setWorkingDirectory(dir_.path());
    // Where the tests run under an emulator, the host's openssl can be named.
    const QString program = qEnvironmentVariable("KESTRUNE_OPENSSL", QStringLiteral("openssl"));
    openssl.start(program, arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        error_ = QStringLiteral("openssl %1: %2 %3")
                     .arg(command, openssl.errorString(),
                          QString::fromLocal8Bit(openssl.readAllStandardError()));
        return false;
    }
    return true;
}

bool TestCertificates::Make()
{
    if (!dir_.isValid() || !WriteFile(Path("openssl.cnf"), Config) ||
        !WriteFile(Path("index.txt"), {}) || !WriteFile(Path("serial.txt"), "01\n")) {
        error_ = QStringLiteral("cannot write to %1").arg(dir_.path());
        return false;
    }
    // RSA: an ECDSA signature's length varies with its numbers, and Wine's
    // certificate chain check now and then refuses a valid one.
    const QString newKey = QStringLiteral("-config openssl.cnf -newkey rsa:2048 -nodes");
    const auto newCa = [&](const char *name) {
        return OpenSsl(QStringLiteral("req %1 -x509 -extensions ca_extensions -keyout %2.key "
                                      "-out %2.pem -days 2 -subj /CN=Kestrune-test-%2")
                           .arg(newKey, QLatin1String(name)));
    };
    const auto sign = [&](const char *ca, const char *out, const char *validity) {
        return OpenSsl(QStringLiteral("ca -batch -config openssl.cnf -notext -cert %1.pem "
                                      "-keyfile %1.key -in server.csr -out %2 %3")
                           .arg(QLatin1String(ca), QLatin1String(out), QLatin1String(validity)));
    };
    return newCa("ca") && newCa("rogue") &&
           OpenSsl(
               QStringLiteral("req %1 -new -keyout server.key -out server.csr -subj /CN=127.0.0.1")
                   .arg(newKey)) &&
           sign("ca", "trusted.pem", "-days 2") && sign("rogue", "untrusted.pem", "-days 2") &&
           sign("ca", "expired.pem", "-startdate 20200101000000Z -enddate 20200201000000Z");
}

} // namespace kestrune
