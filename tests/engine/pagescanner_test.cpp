#include "pagescanner.h"
#include "runtimeerror.h"
#include "textchannel.h"

#include <gtest/gtest.h>
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

struct ScanCase
{
    const char *label;
    std::string page;
    std::string printed;
    std::optional<ErrorKind> error = {};
    std::int64_t names = 0;
};

void PrintTo(const ScanCase &c, std::ostream *os)
{
    *os << c.label;
}

class ScanTest : public testing::TestWithParam<ScanCase>
{};

TEST_P(ScanTest, PrintsWhatThePageHolds)
{
    const ScanCase &c = GetParam();
    ScannerState state;
    InputChannel page(c.page);
    OutputChannel out;
    if (c.error) {
        try {
            ScanPageFile(state, page, out);
            FAIL() << "no error";
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.kind(), *c.error);
            EXPECT_TRUE(error.byteOffset().has_value());
        }
    } else {
        ScanPageFile(state, page, out);
    }
    EXPECT_EQ(out.Buffer(), c.printed);
    EXPECT_EQ(state.RankCounter, c.names);
}

const std::string Gap1 = "    "; // " 1 " ends at column 4; spaces to column 8

std::string Chinese14()
{
    std::string name;
    for (int i = 0; i < 14; ++i)
        name += "\xD6\xD0";
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ScanTest,
    testing::Values(
        ScanCase{"empty file", "", ""},
        ScanCase{"line end only", "\r\n", "", ErrorKind::InputPastEnd},
        ScanCase{"no markers", Pad("<html>", 40) + "\r\n", ""},
        ScanCase{"name after first >",
                 Name("x=1>NAME1</a>") + "\r\n",
                 " 1 " + Gap1 + "NAME1" + std::string(12, ' '),
                 {},
                 1},
        ScanCase{"name in tag",
                 Name("<b>NAME2</b>") + "\r\n",
                 " 1 " + Gap1 + "NAME2" + std::string(12, ' '),
                 {},
                 1},
        ScanCase{"no > keeps the field",
                 Name("NAME3<") + "\r\n",
                 " 1 " + Gap1 + "NAME3" + std::string(12, ' '),
                 {},
                 1},
        ScanCase{"empty name", Name("><") + "\r\n", " 1 " + Gap1 + std::string(17, ' '), {}, 1},
        ScanCase{"> is the 53rd character", "username=" + Pad("", 52, 'a') + ">\r\n", "",
                 ErrorKind::InvalidArgument},
        ScanCase{"no < after name", Name("x>abc") + "\r\n", "", ErrorKind::InvalidArgument},
        ScanCase{"value", "l_item_exABCDEFGHI12<xyz\r\n", "12\r\n"},
        ScanCase{"< before 10th ignored", "l_item_ex<BCDEFGHI7<zzzz\r\n", "7\r\n"},
        ScanCase{"empty value", "l_item_exABCDEFGHI<zzzzz\r\n", "\r\n"},
        ScanCase{"value without <", "l_item_exABCDEFGHI123456\r\n", "", ErrorKind::InvalidArgument},
        ScanCase{"marker alone", "username=", "", ErrorKind::InputPastEnd},
        ScanCase{"value runs past end", "xx l_item_exABC\r\n", "", ErrorKind::InputPastEnd},
        ScanCase{"member line",
                 Name(">NAME1<") + "....l_item_exABCDEFGHI12<xyz\r\n",
                 " 1 " + Gap1 + "NAME1" + std::string(12, ' ') + "12\r\n",
                 {},
                 1},
        // Fields count characters: 14 Chinese ones after 30 bytes of attribute
        // still fit the 53 characters, though not 53 bytes.
        ScanCase{"double-byte name",
                 "username=" + std::string(30, 'x') + ">" + Chinese14() + "</a>" + Pad("", 80) +
                     "\r\n",
                 " 1 " + Gap1 + Chinese14() + " ",
                 {},
                 1},
        // A marker inside the 53 characters read for an earlier one is still met.
        ScanCase{"marker inside a name field",
                 Name(">A<l_item_exABCDEFGHI5<zz") + "\r\n",
                 " 1 " + Gap1 + "A" + std::string(16, ' ') + "5\r\n",
                 {},
                 1},
        // The field ends on the last byte: the scan stops before the marker
        // that starts inside it.
        ScanCase{"field ends on last byte",
                 "username=" + Pad(">B<l_item_exABCDEFGHI5<", 53),
                 " 1 " + Gap1 + "B" + std::string(16, ' '),
                 {},
                 1},
        // A lead byte swallows the "<" after it, so the value runs on.
        ScanCase{"lead byte before <", "l_item_exABCDEFGHI\x81<9<zz\r\n", "\x81<9\r\n"},
        // A page whose tail holds double-byte characters still ends cleanly.
        ScanCase{"double-byte tail", Pad("<p>", 30) + "\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4\r\n", ""},
        ScanCase{"lone lead byte at end", Pad("<p>", 30) + "\xD6", ""}));

TEST(ScanStateTest, CounterRunsOnAcrossPagesAndLongNamesGetOneSpace)
{
    ScannerState state;
    state.RankCounter = 9;
    const std::string longName(20, 'n');
    InputChannel page("username=>" + Pad(longName + "<", 52) + "l_item_ex.........3<.....\r\n");
    OutputChannel out;
    ScanPageFile(state, page, out);
    EXPECT_EQ(out.Buffer(), " 10    " + longName + " 3\r\n");
    EXPECT_EQ(state.RankCounter, 10);
    EXPECT_EQ(state.NameField, longName);
    EXPECT_EQ(state.ValueField, "3");
}

} // namespace
} // namespace kestrune
