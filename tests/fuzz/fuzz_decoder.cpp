// Feeds arbitrary bytes to the body decoder whole and in small pieces and
// stops at the first input on which the two disagree or the page passes
// its limit.
#include "engine/fetch/bodydecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using kestrune::BodyDecoder;
constexpr std::size_t Limit = 256 * 1024;

struct Result
{
    BodyDecoder::Status status;
    bool finished;
    std::string page;
    bool operator==(const Result &) const = default;
};

Result Decode(const char *encoding, std::string_view body, std::size_t piece)
{
    BodyDecoder decoder(encoding, Limit);
    auto status = BodyDecoder::Status::Ok;
    for (std::size_t at = 0; at < body.size() && status == BodyDecoder::Status::Ok; at += piece)
        status = decoder.Feed(body.substr(at, piece));
    if (decoder.Page().size() > Limit) {
        std::fprintf(stderr, "page of %zu bytes past the limit\n", decoder.Page().size());
        std::abort();
    }
    return {status, decoder.Finished(), decoder.Page()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    static constexpr const char *encodings[] = {"gzip", "deflate", "identity"};
    const char *encoding = encodings[data[0] % 3];
    const std::size_t piece = 1 + data[1] % 64;
    const std::string_view body(reinterpret_cast<const char *>(data + 2), size - 2);
    const Result whole = Decode(encoding, body, body.size() + 1);
    const Result pieces = Decode(encoding, body, piece);
    // A failure may be seen at a different piece, so only successes must match.
    const bool wholeOk = whole.status == BodyDecoder::Status::Ok;
    if (wholeOk != (pieces.status == BodyDecoder::Status::Ok) || (wholeOk && !(whole == pieces))) {
        std::fprintf(stderr, "%s in pieces of %zu: whole %d/%d, pieces %d/%d\n", encoding, piece,
                     static_cast<int>(whole.status), whole.finished,
                     static_cast<int>(pieces.status), pieces.finished);
        std::abort();
    }
    return 0;
}
