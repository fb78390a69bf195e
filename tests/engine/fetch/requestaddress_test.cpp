#include "engine/fetch/requestaddress.h"
#include "platform/runtimeerror.h"
#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(RequestAddressTest, EscapesTheForumNameInCodePage936)
{
    const struct
    {
        const char *host;
        const char16_t *forumName;
        const char *query; // none: refused
    } cases[] = {
        {"h:1", u"abc", "abc"},
        {"h:1", u"", ""},
        {"h:1", u"a b", "a%20b"},
        {"h:1", u"中", "%D6%D0"},
        {"h:1", u"a&b/c+d", "a&b/c+d"}, // query characters as typed
        {"h:1", u"a#b", "a%23b"},       // a fragment would cut the page number off
        {"h:1", u"a\tb", "a%09b"},
        // Escapes typed whole are kept; a stray or cut one is escaped.
        {"h:1", u"%D6%d0%4%", "%D6%d0%254%25"},
        {"h:1", u"<>\"{}|\\^`", "%3C%3E%22%7B%7D%7C%5C%5E%60"},
        {"h:1", u"😀", nullptr}, // no code page form
        {"http://h:1/", u"a", "a"},
        {"https://h", u"a", "a"},
        {"ftp://h", u"a", nullptr},
        {"h/x", u"a", nullptr},
        {"h x", u"a", nullptr},
        {"", u"a", nullptr},
    };
    for (const auto &c : cases) {
        const QString forumName = QString::fromUtf16(c.forumName);
        const Expected<QByteArray> address =
            BuildRequestAddress(QString::fromLatin1(c.host), forumName, 2);
        ASSERT_EQ(address.HasValue(), c.query != nullptr)
            << c.host << " " << forumName.toStdString();
        const QByteArray base = QByteArray(c.host).startsWith("https") ? "https://h" : "http://h:1";
        if (address)
            EXPECT_EQ(*address, base + "/f/like/furank?kw=" + c.query + "&pn=2");
        else
            EXPECT_EQ(address.Error().Kind(), ErrorKind::InvalidArgument);
    }
}

} // namespace
} // namespace kestrune
