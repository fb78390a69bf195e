// The fast scanner skips most windows; the reference one reads them all. On
// pages built to sit on the edges of that shortcut both must agree exactly.
#include "pagescanner.h"
#include "referencescanner.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

namespace kestrune {
namespace {

struct TrickyPage
{
    const char *label;
    std::string page;
    std::optional<ErrorKind> error;
    std::int64_t names;
};

void PrintTo(const TrickyPage &c, std::ostream *os)
{
    *os << c.label;
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

// The fast scanner reads windows one by one only in the last 18 bytes.
std::string Tail(const std::string &body, std::size_t length)
{
    return body + std::string(length > body.size() ? length - body.size() : 0, '.');
}

const TrickyPage Pages[] = {
    {"empty", "", {}, 0},
    {"shorter than a window", "usernam", ErrorKind::InputPastEnd, 0},
    {"rows then CR LF", Row("ab") + Row(Chinese(14)) + "\r\n", {}, 2},
    {"marker as the last nine bytes", "<td>username=", ErrorKind::InputPastEnd, 0},
    {"marker just before the tail", "ab" + std::string("username=") + "\">x<......",
     ErrorKind::InputPastEnd, 0},
    {"field ends at the last byte", "<b>username=\">abc<" + std::string(47, '.'), {}, 1},
    {"lone lead byte last", Row("xy") + Tail("", 60) + "\x81", {}, 1},
    {"lead byte just before the tail",
     Row("q") + std::string(12, '.') + "\xD6\r\n" + "1234567",
     {},
     1},
    {"marker inside a two-byte character", "\x81username=\">n<" + Tail("", 60) + "\r\n", {}, 1},
    {"trail byte is '<'", "username=\">\x81<z<" + Tail("", 60), {}, 1},
    {"no '<' in the name field", "username=" + std::string(60, 'x'), ErrorKind::InvalidArgument, 0},
    {"'<' only before the value", "l_item_ex<<<<<<<<<12345" + Tail("", 30),
     ErrorKind::InvalidArgument, 0},
    {"'<' as the 53rd character", "username=>" + Chinese(51) + "<" + Tail("", 20), {}, 1},
    {"'<' one character too late", "username=>" + Chinese(52) + "<" + Tail("", 20),
     ErrorKind::InvalidArgument, 0},
};

class ScannerReference : public testing::TestWithParam<TrickyPage>
{};

TEST_P(ScannerReference, FastScannerAgrees)
{
    const TrickyPage &c = GetParam();
    const ScanOutcome fast = RunScan(ScanPageFile, c.page, -3);
    const ScanOutcome reference = RunScan(ReferenceScanPageFile, c.page, -3);
    EXPECT_EQ(fast.printed, reference.printed);
    EXPECT_EQ(fast.error, reference.error);
    EXPECT_EQ(fast.errorOffset, reference.errorOffset);
    EXPECT_EQ(fast.rankCounter, reference.rankCounter);
    EXPECT_EQ(fast.scanPosition, reference.scanPosition);
    // Both could be wrong alike; these pin what the page holds.
    EXPECT_EQ(reference.error, c.error);
    EXPECT_EQ(reference.rankCounter, -3 + c.names);
}

INSTANTIATE_TEST_SUITE_P(Pages, ScannerReference, testing::ValuesIn(Pages));

TEST(ScannerReferenceCorpus, FastScannerAgreesOnEverySeed)
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
