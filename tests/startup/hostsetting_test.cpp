#include "startup/hostsetting.h"
#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(HostSettingTest, ChecksWhatIsTyped)
{
    const struct
    {
        const char *text;
        const char *host; // empty: refused
        std::optional<HostProblem> problem;
        const char *shown = nullptr; // the accepted host in a message; none: `host`
    } cases[] = {
        {"forum.example.org:8080", "forum.example.org:8080", {}},
        {"  127.0.0.1:8936 ", "127.0.0.1:8936", {}},
        {"HTTPS://Forum.Example.ORG/", "https://forum.example.org", {}},
        {"http://127.0.0.1:8936", "http://127.0.0.1:8936", {}},
        {"[::1]:8936", "[::1]:8936", {}},
        {"论坛.example", "xn--kfsr23j.example", {}, "论坛.example"},
        {"论坛.中国:80", "xn--kfsr23j.xn--fiqs8s:80", {}, "论坛.中国"},
        {"https://论坛.example:443", "https://xn--kfsr23j.example:443", {}, "https://论坛.example"},
        // As a Chinese input method types them.
        {"127.0.0.1：46377", "127.0.0.1:46377", {}},
        {"ｈｔｔｐｓ：／／论坛.example：８４４３",
         "https://xn--kfsr23j.example:8443",
         {},
         "https://论坛.example:8443"},
        {"forum.example.org：８０ａ", "", HostProblem::BadPort},
        {" ", "", HostProblem::Empty},
        {"ftp://forum.example.org", "", HostProblem::BadScheme},
        {"https://", "", HostProblem::NotAHost},
        {"forum example.org", "", HostProblem::NotAHost},
        {"https://forum.example.org:65536/", "", HostProblem::PortOutOfRange},
        {"127.0.0.1:0", "", HostProblem::PortOutOfRange},
        {"127.0.0.1:99999999999", "", HostProblem::PortOutOfRange},
        {"forum.example.org:80a", "", HostProblem::BadPort},
        {"https://me@forum.example.org", "", HostProblem::UserInfo},
        {"forum.example.org/f/like", "", HostProblem::PathAfterHost},
        {"https://forum.example.org/?kw=Henu", "", HostProblem::PathAfterHost},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        const HostCheck check = CheckHost(text);
        EXPECT_EQ(check.host, QString::fromUtf8(c.host));
        EXPECT_EQ(check.error ? std::optional(check.error->problem) : std::nullopt, c.problem);
        EXPECT_EQ(check.error.value_or(HostError{{}, text}).text, text);
        if (!check.error) {
            EXPECT_EQ(ShownHost(check.host), QString::fromUtf8(c.shown ? c.shown : c.host));
        }
    }
}

} // namespace
} // namespace kestrune
