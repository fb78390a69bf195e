#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(InputChannelTest, ReadsCharactersOfOneOrTwoBytes)
{
    const struct
    {
        std::string bytes;
        std::int64_t start;
        std::int64_t count;
        std::string expected; // empty: input past end of file
    } cases[] = {
        {"abcdef", 1, 3, "abc"},
        {"\xD6\xD0\xCE\xC4x", 1, 2, "\xD6\xD0\xCE\xC4"},
        // No realignment: starting on a second byte reads it as a lead.
        {"\xD6\xD0\xCE\xC4x", 2, 2, "\xD0\xCE\xC4x"},
        // A lead byte takes whatever follows, even a "<".
        {"\x81<ab", 1, 2, "\x81<a"},
        {"ab\x81", 1, 3, "ab\x81"},       // a lone lead at the end is one character
        {"\x80\xFFz", 1, 3, "\x80\xFFz"}, // 0x80 and 0xFF are single bytes
        {"ab", 1, 3, ""},
        {"\xD6\xD0", 1, 2, ""},
        {"", 1, 1, ""},
    };
    for (const auto &c : cases) {
        InputChannel channel(c.bytes);
        channel.Seek(c.start);
        if (c.expected.empty()) {
            EXPECT_THROW(channel.Read(c.count), RuntimeError);
        } else {
            EXPECT_EQ(channel.Read(c.count), c.expected);
            EXPECT_EQ(channel.Position(), c.start + static_cast<std::int64_t>(c.expected.size()));
        }
    }
}

TEST(InputChannelTest, AtEndOnlyPastTheLastByte)
{
    InputChannel empty("");
    EXPECT_TRUE(empty.AtEnd());
    InputChannel channel("ab\xD6\xD0");
    channel.Read(2);
    EXPECT_FALSE(channel.AtEnd());
    channel.Read(1);
    EXPECT_TRUE(channel.AtEnd());
}

TEST(OutputChannelTest, PrintsItemsWithColumns)
{
    const auto printed = [](auto &&print) {
        OutputChannel out;
        print(out);
        return out.Buffer();
    };
    EXPECT_EQ(printed([](OutputChannel &o) { o.PrintNumber(7); }), " 7 ");
    EXPECT_EQ(printed([](OutputChannel &o) { o.PrintNumber(-12); }), "-12 ");
    EXPECT_EQ(printed([](OutputChannel &o) { o.PrintNumber(INT64_MIN); }), "-9223372036854775808 ");
    // " 1 " reaches column 4: four spaces to column 8, then to column 25.
    EXPECT_EQ(printed([](OutputChannel &o) {
                  o.PrintNumber(1);
                  o.PrintTab(8);
                  o.PrintText("NAME1");
                  o.PrintTab(25);
                  o.PrintText("12");
                  o.PrintLineEnd();
              }),
              " 1     NAME1            12\r\n");
    // At or past the column: exactly one space, so fields never touch.
    EXPECT_EQ(printed([](OutputChannel &o) {
                  o.PrintText("1234567");
                  o.PrintTab(8);
                  o.PrintText("x");
                  o.PrintTab(8);
              }),
              "1234567 x ");
    // Columns count bytes, and restart after a line end.
    EXPECT_EQ(printed([](OutputChannel &o) {
                  o.PrintText("\xD6\xD0");
                  o.PrintTab(4);
                  o.PrintLineEnd();
                  o.PrintTab(3);
              }),
              "\xD6\xD0 \r\n  ");
}

TEST(OutputChannelTest, TracksOpenLine)
{
    OutputChannel out;
    EXPECT_FALSE(out.LineOpen());
    out.PrintText("a");
    EXPECT_TRUE(out.LineOpen());
    out.PrintLineEnd();
    EXPECT_FALSE(out.LineOpen());
}

} // namespace
} // namespace kestrune

namespace kestrune {
namespace {

// A page file is read whole only up to the largest page there may be.
TEST(InputChannelTest, OpensOnlyFilesWithinTheLimit)
{
    // Named after a stack address, so parallel runs of this test do not meet.
    const int marker = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-open-limit-" +
                       std::to_string(reinterpret_cast<std::uintptr_t>(&marker)) + ".txt");
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{101}}) {
        {
            OutputFile file(path, OutputFile::Mode::Replace);
            file.Write(std::string(size, 'x'));
            file.Close();
        }
        if (size <= 100)
            EXPECT_EQ(InputChannel::Open(path, 100).Size(), static_cast<std::int64_t>(size));
        else
            EXPECT_THROW(InputChannel::Open(path, 100), RuntimeError);
    }
    std::filesystem::remove(path);
}

} // namespace
} // namespace kestrune
