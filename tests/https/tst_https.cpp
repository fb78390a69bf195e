#include "tests/support/expectedresults.h"
#include "tests/support/exportharness.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/tlstestserver.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace kestrune;
using Certificate = TestCertificates::Server;

namespace {

const QList<SampleMember> GoodMembers = {{1, "AAA", 5}, {2, "BBB", 17}};

} // namespace

class TestHttps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(server_.Start(), qPrintable(server_.ErrorString())); }

    void fetch_data()
    {
        QTest::addColumn<QString>("host"); // PLAIN and TLS stand for the ports
        QTest::addColumn<Certificate>("certificate");
        QTest::addColumn<bool>("trustTestCa");
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QStringList>("schemes"); // of the requests the server saw
        QTest::addColumn<QStringList>("error");   // patterns; empty: the page is exported

        const QByteArray good = TlsTestServer::Response(200, ScriptedServer::GoodPage());
        const QString certificateProblem = QStringLiteral("证书");
        const QString tlsAddress = QStringLiteral("127\\.0\\.0\\.1:TLS");
        QTest::newRow("http redirected to https on the same host")
            << "127.0.0.1:PLAIN" << Certificate::Trusted << true << good
            << QStringList{"http", "https"} << QStringList();
        QTest::newRow("https host used directly")
            << "https://127.0.0.1:TLS" << Certificate::Trusted << true << good
            << QStringList{"https"} << QStringList();
        QTest::newRow("certificate names localhost too")
            << "https://localhost:TLS" << Certificate::Trusted << true << good
            << QStringList{"https"} << QStringList();
        QTest::newRow("https redirected to http refused")
            << "https://127.0.0.1:TLS" << Certificate::Trusted << true
            << TlsTestServer::Response(
                   302, {}, "Location: http://127.0.0.1:PLAIN/f/like/furank?kw=Henu&pn=1\r\n")
            << QStringList{"https"}
            << QStringList{"重定向", "http://127\\.0\\.0\\.1:PLAIN", tlsAddress};
        QTest::newRow("certificate from an unknown CA")
            << "https://127.0.0.1:TLS" << Certificate::Untrusted << true << good << QStringList()
            << QStringList{certificateProblem, tlsAddress, "证书不是受信任的机构签发的"};
        QTest::newRow("expired certificate")
            << "https://127.0.0.1:TLS" << Certificate::Expired << true << good << QStringList()
            << QStringList{certificateProblem, tlsAddress, "证书已过期"};
        QTest::newRow("test CA not named")
            << "https://127.0.0.1:TLS" << Certificate::Trusted << false << good << QStringList()
            << QStringList{certificateProblem, tlsAddress};
        QTest::newRow("redirect to an untrusted https server")
            << "127.0.0.1:PLAIN" << Certificate::Untrusted << true << good << QStringList{"http"}
            << QStringList{certificateProblem, tlsAddress};
    }
    void fetch()
    {
        QFETCH(QString, host);
        QFETCH(Certificate, certificate);
        QFETCH(bool, trustTestCa);
        QFETCH(QByteArray, response);
        QFETCH(QStringList, schemes);
        QFETCH(QStringList, error);

        server_.SetCertificate(certificate);
        server_.SetResponse(Ports(response));
        QStringList seen;
        const auto spy =
            connect(&server_, &TlsTestServer::requestReceived, this,
                    [&seen](const QByteArray &scheme) { seen << QString::fromLatin1(scheme); });
        ExportHarness harness;
        harness.inputs.toRank = QStringLiteral("20");
        harness.exporter.SetHost(Ports(host));
        harness.exporter.SetCaFile(trustTestCa ? server_.CaFile() : QString());

        const RunOutcome outcome = harness.Run();
        disconnect(spy);
        QVERIFY(outcome.finished);
        QCOMPARE(seen, schemes);
        if (error.isEmpty()) {
            QVERIFY2(outcome.completed, qPrintable(outcome.message));
            QCOMPARE(FileBytes(harness.FilePath(ResultsFileName)), ExpectedResults(GoodMembers, 1));
            return;
        }
        QVERIFY(!outcome.completed);
        for (const QString &pattern : std::as_const(error))
            QVERIFY2(outcome.message.contains(QRegularExpression(Ports(pattern))),
                     qPrintable(pattern + QStringLiteral(" in: ") + outcome.message));
        QCOMPARE(FileBytes(harness.FilePath(ResultsFileName)), QByteArray());
    }

    // A CA file named for one run and taken away for the next: the second
    // run trusts the system's store only again.
    void caFileTakenAway()
    {
        server_.SetCertificate(Certificate::Trusted);
        server_.SetResponse(TlsTestServer::Response(200, ScriptedServer::GoodPage()));
        ExportHarness harness;
        harness.inputs.toRank = QStringLiteral("20");
        harness.exporter.SetHost(QStringLiteral("https://127.0.0.1:%1").arg(server_.TlsPort()));
        harness.exporter.SetCaFile(server_.CaFile());
        const RunOutcome trusted = harness.Run();
        QVERIFY2(trusted.completed, qPrintable(trusted.message));
        harness.exporter.SetCaFile(QString());
        const RunOutcome untrusted = harness.Run();
        QVERIFY(untrusted.finished && !untrusted.completed);
        QVERIFY2(DescribeError(*untrusted.failure.error).contains(QStringLiteral("证书")),
                 qPrintable(untrusted.message));
    }

    // The path a user behind a re-signing proxy takes: the CA file stored
    // once, then found by every later run.
    void caFileFromSettings()
    {
        server_.SetCertificate(Certificate::Trusted);
        server_.SetResponse(TlsTestServer::Response(200, ScriptedServer::GoodPage()));
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
