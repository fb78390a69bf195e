#pragma once

#include "platform/expected.h"
#include "platform/gbkbytes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The page file in code page 936, read the way the scan needs: positions in
// bytes, characters of one or two bytes.
namespace kestrune {

// A whole file held in memory and read by characters from a 1-based position.
class InputChannel
{
public:
    explicit InputChannel(std::string bytes)
        : bytes_(std::move(bytes))
    {}

    // Reads the whole file, which must be a regular file (never a link) of at
    // most `maxBytes`; a file error names it.
    static Expected<InputChannel> Open(const std::filesystem::path &path, std::int64_t maxBytes);

    std::int64_t Position() const { return position_; }
    void Seek(std::int64_t position) { position_ = position; }
    bool AtEnd() const { return position_ > Size(); }
    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::string_view Bytes() const { return bytes_; }

    // The bytes of the next `count` characters; a lead byte that is the last
    // byte of the file is a character of its own. Input past end of file
    // when fewer characters remain.
    Expected<std::string_view> Read(std::int64_t count);

private:
    std::string bytes_;
    std::int64_t position_ = 1;
};

} // namespace kestrune
