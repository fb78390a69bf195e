#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kestrune {

// Turns a response body, as its bytes arrive, into the page: identity bytes
// pass through, gzip and deflate are inflated. The decoded page never grows
// past `limit`, however small the encoded body, so a compressed bomb costs no
// more memory than an honest page of the same limit.
class BodyDecoder
{
public:
    enum class Status
    {
        Ok,
        Corrupt,  // the encoded stream is not valid
        TooLarge, // the decoded page passed the limit
        Trailing, // bytes after the end of the compressed stream
    };

    // `contentEncoding` is the Content-Encoding header's value, may be empty.
    // Unknown() is set for an encoding we never asked for.
    BodyDecoder(std::string_view contentEncoding, std::size_t limit);
    ~BodyDecoder();
    BodyDecoder(BodyDecoder &&) noexcept;
    BodyDecoder &operator=(BodyDecoder &&) noexcept;
    BodyDecoder(const BodyDecoder &) = delete;
    BodyDecoder &operator=(const BodyDecoder &) = delete;

    bool Unknown() const { return unknown_; }
    // Room for a body announced as `bytes` long, so it arrives without being
    // moved; only an uncompressed body's length is the page's.
    void ReserveIdentity(std::size_t bytes);
    Status Feed(std::string_view bytes);
    // Whether the body ended where its encoding says it ends; an identity
    // body always does.
    bool Finished() const;

    const std::string &Page() const { return page_; }
    std::string TakePage() { return std::move(page_); }

private:
    struct Inflater;

    std::unique_ptr<Inflater> inflater_;
    std::string page_;
    std::size_t limit_;
    bool unknown_ = false;
};

} // namespace kestrune
