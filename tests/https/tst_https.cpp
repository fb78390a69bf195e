#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/tlstestserver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace kestrune;
using Certificate = TestCertificates::Server;
using Kind = FetchFailure::Kind;

namespace {

const QList<SampleMember> GoodMembers = {{1, "AAA", 5}, {2, "BBB", 17}};

struct Case
{
    const char *host = "https://127.0.0.1:TLS"; // PLAIN and TLS stand for the ports
    Certificate certificate = Certificate::Trusted;
    bool trustTestCa = true;
    QByteArray response{};         // empty: the good page
    QStringList schemes{};         // of the requests the server saw
    std::optional<Kind> failure{}; // at https://127.0.0.1:TLS; none: the page is exported
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
        row("https host used directly", {.schemes = {"https"}});
        row("certificate names localhost too",
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
        row("test CA not named", {.trustTestCa = false, .failure = Kind::CertificateUntrusted});
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
        harness.exporter.SetHost(Ports(QString::fromLatin1(c.host)));
        harness.exporter.SetCaFile(c.trustTestCa ? server_.CaFile() : QString());

        const RunOutcome outcome = harness.Run();
        disconnect(spy);
        QVERIFY(outcome.finished);
        QCOMPARE(seen, c.schemes);
        if (!c.failure) {
            QVERIFY2(outcome.completed, qPrintable(outcome.message));
            QCOMPARE(FileBytes(harness.FilePath(ResultsFileName)), ExpectedResults(GoodMembers, 1));
            return;
        }
        QVERIFY2(!outcome.completed && outcome.failure.fetch, qPrintable(outcome.message));
        const FetchFailure &failure = *outcome.failure.fetch;
        QVERIFY2(failure.kind == *c.failure, qPrintable(outcome.message));
        QVERIFY(failure.address.startsWith(Ports(QByteArray("https://127.0.0.1:TLS/"))));
        if (c.detail)
            QCOMPARE(failure.detail, Ports(QString::fromLatin1(c.detail)));
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
        harness.exporter.SetHost(QStringLiteral("https://127.0.0.1:%1").arg(server_.TlsPort()));
        harness.exporter.SetCaFile(server_.CaFile());
        const RunOutcome trusted = harness.Run();
        QVERIFY2(trusted.completed, qPrintable(trusted.message));
        harness.exporter.SetCaFile(QString());
        const RunOutcome untrusted = harness.Run();
        QVERIFY(untrusted.finished && !untrusted.completed);
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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           dir.filePath(QStringLiteral("config")));
        const QStringList range{QStringLiteral("--to"), QStringLiteral("20"),
                                QStringLiteral("--delay"), QStringLiteral("0")};
        const QStringList first =
            QStringList{QStringLiteral("--host"), Ports(QStringLiteral("https://127.0.0.1:TLS")),
                        QStringLiteral("--ca-file"), server_.CaFile(),
                        QStringLiteral("--remember")} +
            range;
        for (const QStringList &arguments : {first, range}) {
            QProcess cli;
            cli.setWorkingDirectory(dir.path());
            cli.setProcessEnvironment(environment);
            QSignalSpy finished(&cli, &QProcess::finished);
            cli.start(QStringLiteral(KESTRUNE_CLI), arguments);
            QVERIFY(finished.wait(30000));
            QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        }
        QCOMPARE(FileBytes(dir.filePath(QLatin1String(ResultsFileName))),
                 ExpectedResults(GoodMembers, 1).repeated(2));
    }

private:
    static QByteArray Good() { return TlsTestServer::Response(200, ScriptedServer::GoodPage()); }
    QString Ports(QString text) const
    {
        return text.replace(QLatin1String("PLAIN"), QString::number(server_.PlainPort()))
            .replace(QLatin1String("TLS"), QString::number(server_.TlsPort()));
    }
    QByteArray Ports(QByteArray bytes) const
    {
        return bytes.replace("PLAIN", QByteArray::number(server_.PlainPort()))
            .replace("TLS", QByteArray::number(server_.TlsPort()));
    }

    TlsTestServer server_;
};

QTEST_GUILESS_MAIN(TestHttps)
#include "tst_https.moc"
