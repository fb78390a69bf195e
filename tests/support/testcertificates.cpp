#include "tests/support/testcertificates.h"

#include <QFile>
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

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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

bool TestCertificates::OpenSsl(const QStringList &arguments)
{
    QProcess openssl;
    openssl.setWorkingDirectory(dir_.path());
    // Where the tests run under an emulator, the host's openssl can be named.
    const QString program = qEnvironmentVariable("KESTRUNE_OPENSSL", QStringLiteral("openssl"));
    openssl.start(program, arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        error_ = QStringLiteral("openssl %1: %2 %3")
                     .arg(arguments.join(QLatin1Char(' ')), openssl.errorString(),
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
    const QString config = QStringLiteral("openssl.cnf");
    const auto newCa = [&](const QString &name, const QString &commonName) {
        return OpenSsl(
            {QStringLiteral("req"), QStringLiteral("-config"), config, QStringLiteral("-x509"),
             QStringLiteral("-extensions"), QStringLiteral("ca_extensions"),
             QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
             QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
             name + QStringLiteral(".pem"), QStringLiteral("-days"), QStringLiteral("2"),
             QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName});
    };
    const auto sign = [&](const QString &ca, const QString &out, const QStringList &validity) {
        return OpenSsl(QStringList{QStringLiteral("ca"), QStringLiteral("-batch"),
                                   QStringLiteral("-config"), config, QStringLiteral("-notext"),
                                   QStringLiteral("-cert"), ca + QStringLiteral(".pem"),
                                   QStringLiteral("-keyfile"), ca + QStringLiteral(".key"),
                                   QStringLiteral("-in"), QStringLiteral("server.csr"),
                                   QStringLiteral("-out"), out} +
                       validity);
    };
    const QStringList current{QStringLiteral("-days"), QStringLiteral("2")};
    return newCa(QStringLiteral("ca"), QStringLiteral("Kestrune Test CA")) &&
           newCa(QStringLiteral("rogue"), QStringLiteral("Kestrune Untrusted CA")) &&
           OpenSsl({QStringLiteral("req"), QStringLiteral("-config"), config,
                    QStringLiteral("-new"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                    QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                    QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                    QStringLiteral("server.key"), QStringLiteral("-out"),
                    QStringLiteral("server.csr"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=127.0.0.1")}) &&
           sign(QStringLiteral("ca"), QStringLiteral("trusted.pem"), current) &&
           sign(QStringLiteral("rogue"), QStringLiteral("untrusted.pem"), current) &&
           sign(QStringLiteral("ca"), QStringLiteral("expired.pem"),
                {QStringLiteral("-startdate"), QStringLiteral("20200101000000Z"),
                 QStringLiteral("-enddate"), QStringLiteral("20200201000000Z")});
}

} // namespace kestrune
