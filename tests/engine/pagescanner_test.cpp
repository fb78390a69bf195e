// Every case runs through the fast scanner and the literal reference one,
// which reads every byte's window; both must agree and match the expectation.
#include "engine/pagescanner.h"
#include "tests/support/referencescanner.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

namespace kestrune {
namespace {

std::string Pad(std::string text, std::size_t length, char filler = '.')
{
    if (text.size() < length)
        text.append(length - text.size(), filler);
    return text;
}

// A name marker followed by exactly 53 characters.
std::string Name(const std::string &field)
{
    return "username=" + Pad(field, 53);
}

using Events = std::vector<ScanEvent>;

struct ScanCase
{
    const char *label;
    std::string page;
    std::optional<Events> events; // empty: only the agreement is checked
    std::int64_t names = 0;
    std::optional<ErrorKind> error = {};
};

void PrintTo(const ScanCase &c, std::ostream *os)
{
    *os << c.label;
}

class ScanTest : public testing::TestWithParam<ScanCase>
{};

TEST_P(ScanTest, ReportsWhatThePageHolds)
{
    const ScanCase &c = GetParam();
    const ScanOutcome fast = RunScan(ScanPageFile, c.page);
    const ScanOutcome reference = RunScan(ReferenceScanPageFile, c.page);
    EXPECT_EQ(fast.events, reference.events);
    EXPECT_EQ(fast.error, reference.error);
    EXPECT_EQ(fast.errorOffset, reference.errorOffset);
    EXPECT_EQ(fast.scanPosition, reference.scanPosition);
    EXPECT_EQ(fast.error, c.error);
    EXPECT_EQ(fast.errorOffset.has_value(), c.error.has_value());
    if (c.events) {
        EXPECT_EQ(fast.events, *c.events);
    }
    EXPECT_EQ(fast.rankCounter, c.names);
}

// Member 1's name, and a value.
ScanEvent First(std::string name)
{
    return {1, std::move(name)};
}
ScanEvent Value(std::string value)
{
    return {{}, std::move(value)};
}

std::string Chinese(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\xD6\xD0";
    return text;
}

std::string Row(const std::string &name)
{
    return "<a username=\"" + name + "\">" + name + "</a><i class=\"l_item_ex\" data-v>7</i>\n";
}

// Only the two scanners' agreement is checked.
constexpr std::nullopt_t Unchecked = std::nullopt;
constexpr auto PastEnd = ErrorKind::InputPastEnd;
constexpr auto Invalid = ErrorKind::InvalidArgument;

INSTANTIATE_TEST_SUITE_P(
    Pages, ScanTest,
    testing::Values(
        ScanCase{"empty file", "", Events{}},
        ScanCase{"line end only", "\r\n", Events{}, 0, PastEnd},
        ScanCase{"no markers", Pad("<html>", 40) + "\r\n", Events{}},
        ScanCase{"name after first >", Name("x=1>NAME1</a>") + "\r\n", Events{First("NAME1")}, 1},
        ScanCase{"name in tag", Name("<b>NAME2</b>") + "\r\n", Events{First("NAME2")}, 1},
        ScanCase{"no > keeps the field", Name("NAME3<") + "\r\n", Events{First("NAME3")}, 1},
        ScanCase{"empty name", Name("><") + "\r\n", Events{First("")}, 1},
        ScanCase{"> is the 53rd character", "username=" + Pad("", 52, 'a') + ">\r\n", Events{}, 0,
                 Invalid},
        ScanCase{"no < after name", Name("x>abc") + "\r\n", Events{}, 0, Invalid},
        ScanCase{"value", "l_item_exABCDEFGHI12<xyz\r\n", Events{Value("12")}},
        ScanCase{"< before 10th ignored", "l_item_ex<BCDEFGHI7<zzzz\r\n", Events{Value("7")}},
        ScanCase{"empty value", "l_item_exABCDEFGHI<zzzzz\r\n", Events{Value("")}},
        ScanCase{"value without <", "l_item_exABCDEFGHI123456\r\n", Events{}, 0, Invalid},
        ScanCase{"marker alone", "username=", Events{}, 0, PastEnd},
        ScanCase{"value runs past end", "xx l_item_exABC\r\n", Events{}, 0, PastEnd},
        ScanCase{"member line", Name(">NAME1<") + "....l_item_exABCDEFGHI12<xyz\r\n",
                 Events{First("NAME1"), Value("12")}, 1},
        // Fields count characters: 14 Chinese ones after 30 bytes of attribute
        // still fit the 53 characters, though not 53 bytes.
        ScanCase{"double-byte name",
                 "username=" + std::string(30, 'x') + ">" + Chinese(14) + "</a>" + Pad("", 80) +
                     "\r\n",
                 Events{First(Chinese(14))}, 1},
        // A marker inside the 53 characters read for an earlier one is still met.
        ScanCase{"marker inside a name field", Name(">A<l_item_exABCDEFGHI5<zz") + "\r\n",
                 Events{First("A"), Value("5")}, 1},
        // The field ends on the last byte: the scan stops before the marker
        // that starts inside it.
        ScanCase{"field ends on last byte", "username=" + Pad(">B<l_item_exABCDEFGHI5<", 53),
                 Events{First("B")}, 1},
        // A lead byte swallows the "<" after it, so the value runs on.
        ScanCase{"lead byte before <", "l_item_exABCDEFGHI\x81<9<zz\r\n", Events{Value("\x81<9")}},
        // A page whose tail holds double-byte characters still ends cleanly.
        ScanCase{"double-byte tail", Pad("<p>", 30) + "\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4\r\n",
                 Events{}},
        ScanCase{"lone lead byte at end", Pad("<p>", 30) + "\xD6", Events{}},
        // Edges of the shortcut the fast scanner takes: it reads windows one
        // by one only in the last 18 bytes.
        ScanCase{"shorter than a window", "usernam", Unchecked, 0, PastEnd},
        ScanCase{"rows then CR LF", Row("ab") + Row(Chinese(14)) + "\r\n", Unchecked, 2},
        ScanCase{"marker as the last nine bytes", "<td>username=", Unchecked, 0, PastEnd},
        ScanCase{"marker just before the tail", "ab" + std::string("username=") + "\">x<......",
                 Unchecked, 0, PastEnd},
        ScanCase{"lead byte just before the tail",
                 Row("q") + std::string(12, '.') + "\xD6\r\n" + "1234567", Unchecked, 1},
        ScanCase{"marker inside a two-byte character", "\x81username=\">n<" + Pad("", 60) + "\r\n",
                 Unchecked, 1},
        ScanCase{"< as the 53rd character", "username=>" + Chinese(51) + "<" + Pad("", 20),
                 Unchecked, 1},
        ScanCase{"< one character too late", "username=>" + Chinese(52) + "<" + Pad("", 20),
                 Unchecked, 0, Invalid}));

TEST(ScanCorpusTest, FastScannerAgreesOnEverySeed)
{
    int seeds = 0;
    for (const auto &entry : std::filesystem::directory_iterator(KESTRUNE_FUZZ_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string page{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(RunScan(ScanPageFile, page), RunScan(ReferenceScanPageFile, page))
            << entry.path().filename();
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
}

} // namespace
} // namespace kestrune
