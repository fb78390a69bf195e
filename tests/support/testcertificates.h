#pragma once

#include <QString>
#include <QTemporaryDir>

namespace kestrune {

// A test CA and server certificates for 127.0.0.1 and localhost, made when a
// test starts (with the openssl command line) so none is kept that expires.
class TestCertificates final
{
public:
    enum class Server
    {
        Trusted,   // signed by the test CA
        Untrusted, // signed by a CA nobody trusts
        Expired,   // signed by the test CA, valid only in January 2020
    };

    // False, with ErrorString(), when openssl is missing or fails.
    bool Make();
    QString ErrorString() const { return error_; }

    // The test CA's certificate, PEM: what a user names as the extra CA file.
    QString CaFile() const { return Path("ca.pem"); }
    QString CertificateFile(Server server) const;
    // One key serves all three certificates.
    QString KeyFile() const { return Path("server.key"); }

private:
    QString Path(const char *name) const { return dir_.filePath(QLatin1String(name)); }
    bool OpenSsl(const QString &command); // arguments apart by single spaces

    QTemporaryDir dir_;
    QString error_;
};

} // namespace kestrune
