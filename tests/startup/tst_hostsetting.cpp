#include "startup/hostsetting.h"

#include <QTest>

using namespace kestrune;

class TestHostSetting : public QObject
{
    Q_OBJECT

private slots:
    void checkHost_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // empty: refused
        QTest::addColumn<std::optional<HostProblem>>("problem");
        QTest::addColumn<QString>("shown"); // the accepted host in a message
        const auto row = [](const char *text, const char *host, std::optional<HostProblem> problem,
                            const char *shown = nullptr) {
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(host) << problem
                                << QString::fromUtf8(shown ? shown : host);
        };
        row("forum.example.org:8080", "forum.example.org:8080", {});
        row("  127.0.0.1:8936 ", "127.0.0.1:8936", {});
        row("HTTPS://Forum.Example.ORG/", "https://forum.example.org", {});
        row("http://127.0.0.1:8936", "http://127.0.0.1:8936", {});
        row("[::1]:8936", "[::1]:8936", {});
        row("论坛.example", "xn--kfsr23j.example", {}, "论坛.example");
        row("论坛.中国:80", "xn--kfsr23j.xn--fiqs8s:80", {}, "论坛.中国");
        row("https://论坛.example:443", "https://xn--kfsr23j.example:443", {},
            "https://论坛.example");
        row(" ", "", HostProblem::Empty);
        row("ftp://forum.example.org", "", HostProblem::BadScheme);
        row("https://", "", HostProblem::NotAHost);
        row("forum example.org", "", HostProblem::NotAHost);
        row("https://forum.example.org:65536/", "", HostProblem::PortOutOfRange);
        row("127.0.0.1:0", "", HostProblem::PortOutOfRange);
        row("127.0.0.1:99999999999", "", HostProblem::PortOutOfRange);
        row("forum.example.org:80a", "", HostProblem::BadPort);
        row("https://me@forum.example.org", "", HostProblem::UserInfo);
        row("forum.example.org/f/like", "", HostProblem::PathAfterHost);
        row("https://forum.example.org/?kw=Henu", "", HostProblem::PathAfterHost);
    }
    void checkHost()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(std::optional<HostProblem>, problem);
        QFETCH(QString, shown);
        const HostCheck check = CheckHost(text);
        QCOMPARE(check.host, host);
        QCOMPARE(check.error ? std::optional(check.error->problem) : std::nullopt, problem);
        QCOMPARE(check.error.value_or(HostError{{}, text}).text, text);
        if (!check.error)
            QCOMPARE(ShownHost(check.host), shown);
    }
};

QTEST_GUILESS_MAIN(TestHostSetting)
#include "tst_hostsetting.moc"
