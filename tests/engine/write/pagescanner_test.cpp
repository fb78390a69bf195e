// Every case runs through the fast scanner and the literal reference one,
// which reads every byte's window; both must agree and match the expectation.
#include "engine/write/pagescanner.h"
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
    Events events;
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
    EXPECT_TRUE(fast == reference);
    EXPECT_EQ(fast.error, c.error);
    EXPECT_EQ(fast.events, c.events);
    EXPECT_EQ(fast.rankCounter, c.names);
}

std::string Chinese(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\xD6\xD0";
    return text;
}

constexpr auto PastEnd = ErrorKind::InputPastEnd;
constexpr auto Invalid = ErrorKind::InvalidArgument;

INSTANTIATE_TEST_SUITE_P(
    Pages, ScanTest,
    testing::Values(
        ScanCase{"empty file", "", Events{}},
        ScanCase{"line end only", "\r\n", Events{}, 0, PastEnd},
        ScanCase{"name after first >", Name("x=1>NAME1</a>") + "\r\n", Events{{1, "NAME1"}}, 1},
        ScanCase{"no > keeps the field", Name("NAME3<") + "\r\n", Events{{1, "NAME3"}}, 1},
        ScanCase{"empty name", Name("><") + "\r\n", Events{{1, ""}}, 1},
        ScanCase{"> is the 53rd character", "username=" + Pad("", 52, 'a') + ">\r\n", Events{}, 0,
                 Invalid},
        ScanCase{"no < after name", Name("x>abc") + "\r\n", Events{}, 0, Invalid},
        ScanCase{"value", "l_item_exABCDEFGHI12<xyz\r\n", Events{{{}, "12"}}},
        ScanCase{"< before 10th ignored", "l_item_ex<BCDEFGHI7<zzzz\r\n", Events{{{}, "7"}}},
        ScanCase{"empty value", "l_item_exABCDEFGHI<zzzzz\r\n", Events{{{}, ""}}},
        ScanCase{"value without <", "l_item_exABCDEFGHI123456\r\n", Events{}, 0, Invalid},
        ScanCase{"marker alone", "username=", Events{}, 0, PastEnd},
        ScanCase{"value runs past end", "xx l_item_exABC\r\n", Events{}, 0, PastEnd},
        ScanCase{"member line", Name(">NAME1<") + "....l_item_exABCDEFGHI12<xyz\r\n",
                 Events{{1, "NAME1"}, {{}, "12"}}, 1},
        // Fields count characters: 14 Chinese ones after 30 bytes of attribute
        // still fit the 53 characters, though not 53 bytes.
        ScanCase{"double-byte name",
                 "username=" + std::string(30, 'x') + ">" + Chinese(14) + "</a>" + Pad("", 80) +
                     "\r\n",
                 Events{{1, Chinese(14)}}, 1},
        // A marker inside the 53 characters read for an earlier one is still met.
        ScanCase{"marker inside a name field", Name(">A<l_item_exABCDEFGHI5<zz") + "\r\n",
                 Events{{1, "A"}, {{}, "5"}}, 1},
        // The field ends on the last byte: the scan stops before the marker
        // that starts inside it.
        ScanCase{"field ends on last byte", "username=" + Pad(">B<l_item_exABCDEFGHI5<", 53),
                 Events{{1, "B"}}, 1},
        // A lead byte swallows the "<" after it, so the value runs on.
        ScanCase{"lead byte before <", "l_item_exABCDEFGHI\x81<9<zz\r\n", Events{{{}, "\x81<9"}}},
        // A page whose tail holds double-byte characters still ends cleanly.
        ScanCase{"double-byte tail", Pad("<p>", 30) + "\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4\r\n",
                 Events{}},
        ScanCase{"lone lead byte at end", Pad("<p>", 30) + "\xD6", Events{}}));

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
