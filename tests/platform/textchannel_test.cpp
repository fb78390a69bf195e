#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <fstream>
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
        const Expected<std::string_view> read = channel.Read(c.count);
        ASSERT_EQ(read.HasValue(), !c.expected.empty()) << c.bytes;
        if (read) {
            EXPECT_EQ(*read, c.expected);
            EXPECT_EQ(channel.Position(), c.start + static_cast<std::int64_t>(c.expected.size()));
        } else {
            EXPECT_EQ(read.Error().Kind(), ErrorKind::InputPastEnd);
        }
    }
}

// A page file is read whole only up to the largest page there may be.
TEST(InputChannelTest, OpensOnlyFilesWithinTheLimit)
{
    // Named after a stack address, so parallel runs of this test do not meet.
    const int marker = 0;
    const auto path = std::filesystem::temp_directory_path() /
                      ("kestrune-open-limit-" +
                       std::to_string(reinterpret_cast<std::uintptr_t>(&marker)) + ".txt");
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{101}}) {
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        const Expected<InputChannel> opened = InputChannel::Open(path, 100);
        ASSERT_EQ(opened.HasValue(), size <= 100) << size;
        if (opened) {
            EXPECT_EQ(opened->Size(), static_cast<std::int64_t>(size));
        }
    }
    std::filesystem::remove(path);
}

} // namespace
} // namespace kestrune
