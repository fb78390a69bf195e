#include "tests/support/compression.h"

#include <zlib.h>

namespace kestrune {

std::string Compress(std::string_view data, Wrapper wrapper)
{
    // zlib's windowBits: 16 more for a gzip wrapper, negative for none.
    const int windowBits = wrapper == Wrapper::Gzip ? 15 + 16 : wrapper == Wrapper::Zlib ? 15 : -15;
    z_stream stream{};
    // Fastest: the bombs are tens of MiB of one byte.
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace kestrune
