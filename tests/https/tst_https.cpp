#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/fixtures.h"
#include "tests/support/runprogram.h"
#include "tests/support/tlstestserver.h"

#include <QTest>

using namespace kestrune;
using Certificate = TestCertificates::Server;
using Kind = FetchFailure::Kind;

namespace {

struct Case
{
    const char *host = "https://127.0.0.1:TLS"; // PLAIN and TLS stand for the ports
    Certificate certificate = Certificate::Trusted;
    QByteArray response{};         // empty: the good page
    QStringList schemes{};         // of the requests the server saw
    std::optional<Kind> failure{}; // at an https:// address; none: the page is exported
    const char *detail = nullptr;  // the failure's, when it names data
};

} // namespace

Q_DECLARE_METATYPE(Case)

class TestHttps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(server_.Start(), qPrintable(server_.ErrorString())); }

    void fetch_data()
    {
        QTest::addColumn<Case>("c");
        const auto row = [](const char *name, const Case &c) {
            QTest::newRow(name) << c;
        };
        row("http redirected to https on the same host",
            {.host = "127.0.0.1:PLAIN", .schemes = {"http", "https"}});
        // By address: the first run of caFileTakenAway.
        row("https host used directly, by name",
            {.host = "https://localhost:TLS", .schemes = {"https"}});
        const char *toPlain = "http://127.0.0.1:PLAIN/f/like/furank?kw=Henu&pn=1";
        row("https redirected to http refused",
            {.response =
                 TlsTestServer::Response(302, {}, "Location: " + QByteArray(toPlain) + "\r\n"),
             .schemes = {"https"},
             .failure = Kind::InsecureRedirect,
             .detail = toPlain});
        row("certificate from an unknown CA",
            {.certificate = Certificate::Untrusted, .failure = Kind::CertificateUntrusted});
        row("expired certificate",
            {.certificate = Certificate::Expired, .failure = Kind::CertificateExpired});
        row("https on the plain port",
            {.host = "https://127.0.0.1:PLAIN", .failure = Kind::NotHttps});
        row("redirect to an untrusted https server", {.host = "127.0.0.1:PLAIN",
                                                      .certificate = Certificate::Untrusted,
                                                      .schemes = {"http"},
                                                      .failure = Kind::CertificateUntrusted});
    }
    void fetch()
    {
        QFETCH(Case, c);
        server_.SetCertificate(c.certificate);
        server_.SetResponse(c.response.isEmpty() ? Good() : Ports(c.response));
        QStringList seen;
        const auto spy =
            connect(&server_, &TlsTestServer::requestReceived, this,
                    [&seen](const QByteArray &scheme) { seen << QString::fromLatin1(scheme); });
        ExportHarness harness;
        harness.inputs.toRank = QStringLiteral("20");
        harness.exporter.SetHost(QString::fromLatin1(Ports(c.host)));
        harness.exporter.SetCaFile(server_.CaFile());

        const RunOutcome outcome = harness.Run();
        disconnect(spy);
        QVERIFY(outcome.finished);
        QCOMPARE(seen, c.schemes);
        if (!c.failure) {
            QVERIFY2(outcome.completed, qPrintable(outcome.message));
            QCOMPARE(FileBytes(harness.FilePath(ResultsFileName)), GoodLines());
            return;
        }
        QVERIFY2(!outcome.completed && outcome.failure.fetch, qPrintable(outcome.message));
        const FetchFailure &failure = *outcome.failure.fetch;
        QVERIFY2(failure.kind == *c.failure, qPrintable(outcome.message));
        QVERIFY(failure.address.startsWith("https://127.0.0.1:"));
        if (c.detail)
            QCOMPARE(failure.detail, QString::fromLatin1(Ports(c.detail)));
        QCOMPARE(FileBytes(harness.FilePath(ResultsFileName)), QByteArray());
    }

    // A CA file named for one run and taken away for the next: the second
    // run trusts the system's store only again.
    void caFileTakenAway()
    {
        server_.SetCertificate(Certificate::Trusted);
        server_.SetResponse(Good());
        ExportHarness harness;
        harness.inputs.toRank = QStringLiteral("20");
        harness.exporter.SetHost(QString::fromLatin1(Ports("https://127.0.0.1:TLS")));
        harness.exporter.SetCaFile(server_.CaFile());
        const RunOutcome trusted = harness.Run();
        QVERIFY2(trusted.completed, qPrintable(trusted.message));
        harness.exporter.SetCaFile(QString());
        const RunOutcome untrusted = harness.Run();
        QVERIFY2(untrusted.failure.fetch &&
                     untrusted.failure.fetch->kind == Kind::CertificateUntrusted,
                 qPrintable(untrusted.message));
    }

    // The path a user behind a re-signing proxy takes: the CA file stored
    // once, then found by every later run.
    void caFileFromSettings()
    {
        server_.SetCertificate(Certificate::Trusted);
        server_.SetResponse(Good());
        QTemporaryDir dir;
        const QStringList range = QStringLiteral("--to 20 --delay 0").split(u' ');
        const QStringList first{"--host", QString::fromLatin1(Ports("https://127.0.0.1:TLS")),
                                "--ca-file", server_.CaFile(), "--remember"};
        for (const QStringList &arguments : {first + range, range}) {
            const ProgramResult cli =
                RunProgram(QStringLiteral(KESTRUNE_CLI), arguments, dir.path(),
                           dir.filePath(QStringLiteral("config")));
            QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
        }
        QCOMPARE(FileBytes(dir.filePath(QLatin1String(ResultsFileName))), GoodLines().repeated(2));
    }

private:
    static QByteArray Good() { return TlsTestServer::Response(200, GoodPage()); }
    QByteArray Ports(QByteArray bytes) const
    {
        return bytes.replace("PLAIN", QByteArray::number(server_.PlainPort()))
            .replace("TLS", QByteArray::number(server_.TlsPort()));
    }

    TlsTestServer server_;
};

QTEST_GUILESS_MAIN(TestHttps)
#include "tst_https.moc"
