#include "engine/fetch/bodydecoder.h"
#include "tests/support/compression.h"

#include <gtest/gtest.h>
#include <string>

namespace kestrune {
namespace {

using Status = BodyDecoder::Status;

// Feeds `body` in pieces of `piece` bytes; the first status that is not Ok.
Status FeedAll(BodyDecoder &decoder, const std::string &body, std::size_t piece)
{
    for (std::size_t at = 0; at < body.size(); at += piece) {
        const Status status = decoder.Feed(std::string_view(body).substr(at, piece));
        if (status != Status::Ok)
            return status;
    }
    return Status::Ok;
}

TEST(BodyDecoderTest, DecodesOrRefuses)
{
    const std::string page = "<a username=\"AAA\">AAA</a>" + std::string(5000, '-') + "\xD6\xD0";
    const std::string gzip = Compress(page, Wrapper::Gzip);
    const std::string bomb = Compress(std::string(8 << 20, '\0'), Wrapper::Gzip);
    std::string corrupt = gzip;
    for (std::size_t at = 10; at < corrupt.size() - 8; ++at)
        corrupt[at] = static_cast<char>(corrupt[at] ^ 0x5A);
    const struct
    {
        const char *name;
        const char *encoding;
        std::string body;
        std::size_t limit;
        Status status;
        bool finished;
    } cases[] = {
        {"identity", "", page, 1 << 20, Status::Ok, true},
        {"identity, case and blanks", " Identity ", page, 1 << 20, Status::Ok, true},
        {"identity over the limit", "", page, page.size() - 1, Status::TooLarge, true},
        {"gzip", "gzip", gzip, 1 << 20, Status::Ok, true},
        {"x-gzip", "X-GZIP", gzip, 1 << 20, Status::Ok, true},
        {"gzip exactly at the limit", "gzip", gzip, page.size(), Status::Ok, true},
        {"gzip one byte over", "gzip", gzip, page.size() - 1, Status::TooLarge, false},
        {"zlib deflate", "deflate", Compress(page, Wrapper::Zlib), 1 << 20, Status::Ok, true},
        {"bare deflate", "deflate", Compress(page, Wrapper::Bare), 1 << 20, Status::Ok, true},
        {"bomb", "gzip", bomb, 1 << 20, Status::TooLarge, false},
        {"cut short", "gzip", gzip.substr(0, gzip.size() / 2), 1 << 20, Status::Ok, false},
        {"corrupt", "gzip", corrupt, 1 << 20, Status::Corrupt, false},
        {"not compressed", "gzip", page, 1 << 20, Status::Corrupt, false},
        {"trailing bytes", "gzip", gzip + "x", 1 << 20, Status::Trailing, true},
        {"empty gzip body", "gzip", "", 1 << 20, Status::Ok, true},
    };
    for (const auto &c : cases) {
        // One byte at a time finds state carried wrongly between pieces.
        for (const std::size_t piece : {std::size_t{1}, std::size_t{4096}, c.body.size() + 1}) {
            BodyDecoder decoder(c.encoding, c.limit);
            EXPECT_FALSE(decoder.Unknown()) << c.name;
            EXPECT_EQ(FeedAll(decoder, c.body, piece), c.status) << c.name << " by " << piece;
            EXPECT_EQ(decoder.Finished(), c.finished) << c.name << " by " << piece;
            EXPECT_LE(decoder.Page().size(), c.limit) << c.name;
            if (c.status == Status::Ok && c.finished && !c.body.empty()) {
                EXPECT_EQ(decoder.Page(), page) << c.name << " by " << piece;
            }
        }
    }
}

TEST(BodyDecoderTest, EncodingsNeverAskedFor)
{
    for (const char *encoding : {"br", "zstd", "compress", "gzip, gzip", "gzip,br"})
        EXPECT_TRUE(BodyDecoder(encoding, 100).Unknown()) << encoding;
}

} // namespace
} // namespace kestrune
