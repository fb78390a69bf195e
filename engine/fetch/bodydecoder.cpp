#include "engine/fetch/bodydecoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <zlib.h>

namespace kestrune {

namespace {

std::string Normalised(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

enum class Wrapper
{
    Gzip,
    // "deflate" is meant to be zlib-wrapped, but servers send raw deflate
    // too; the first bytes tell which.
    ZlibOrRaw,
};

} // namespace

struct BodyDecoder::Inflater
{
    explicit Inflater(Wrapper wrapper)
        : wrapper(wrapper)
    {}
    ~Inflater()
    {
        if (started)
            inflateEnd(&stream);
    }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;

    bool Start(unsigned char firstByte)
    {
        int windowBits = 15 + 16;
        if (wrapper == Wrapper::ZlibOrRaw)
            windowBits = (firstByte & 0x0F) == Z_DEFLATED ? 15 : -15;
        started = inflateInit2(&stream, windowBits) == Z_OK;
        return started;
    }

    Wrapper wrapper;
    z_stream stream{};
    bool started = false;
    bool ended = false;
};

BodyDecoder::BodyDecoder(std::string_view contentEncoding, std::size_t limit)
    : limit_(limit)
{
    const std::string encoding = Normalised(contentEncoding);
    if (encoding.empty() || encoding == "identity")
        return;
    if (encoding == "gzip" || encoding == "x-gzip")
        inflater_ = std::make_unique<Inflater>(Wrapper::Gzip);
    else if (encoding == "deflate")
        inflater_ = std::make_unique<Inflater>(Wrapper::ZlibOrRaw);
    else
        unknown_ = true;
}

BodyDecoder::~BodyDecoder() = default;
BodyDecoder::BodyDecoder(BodyDecoder &&) noexcept = default;
BodyDecoder &BodyDecoder::operator=(BodyDecoder &&) noexcept = default;

void BodyDecoder::ReserveIdentity(std::size_t bytes)
{
    if (!inflater_ && !unknown_)
        page_.reserve(std::min(bytes, limit_));
}

BodyDecoder::Status BodyDecoder::Feed(std::string_view bytes)
{
    if (bytes.empty())
        return Status::Ok;
    if (!inflater_) {
        if (bytes.size() > limit_ - page_.size())
            return Status::TooLarge;
        page_ += bytes;
        return Status::Ok;
    }
    Inflater &inflater = *inflater_;
    if (inflater.ended)
        return Status::Trailing;
    if (!inflater.started && !inflater.Start(static_cast<unsigned char>(bytes.front())))
        return Status::Corrupt;
    z_stream &stream = inflater.stream;
    // zlib takes a non-const pointer but never writes through next_in.
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    // Only the bytes zlib produced are read, so no need to clear it.
    std::array<char, std::size_t{64} * 1024> out;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = out.size() - stream.avail_out;
        if (produced > limit_ - page_.size())
            return Status::TooLarge;
        page_.append(out.data(), produced);
        if (result == Z_STREAM_END) {
            inflater.ended = true;
            return stream.avail_in > 0 ? Status::Trailing : Status::Ok;
        }
        if (result != Z_OK && result != Z_BUF_ERROR)
            return Status::Corrupt;
        // A full output buffer may hold back more; otherwise all input is in.
        if (stream.avail_out > 0 || produced == 0)
            break;
    }
    if (stream.avail_in > 0)
        return Status::Corrupt;
    return Status::Ok;
}

bool BodyDecoder::Finished() const
{
    return !inflater_ || inflater_->ended || (!inflater_->started && page_.empty());
}

} // namespace kestrune
