#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Text files in code page 936, read and written the way the page file and the
// results file need: positions in bytes, characters of one or two bytes.
namespace kestrune {

// A byte 0x81..0xFE starts a two-byte character, whatever byte follows.
constexpr bool IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// A whole file held in memory and read by characters from a 1-based position.
class InputChannel
{
public:
    explicit InputChannel(std::string bytes)
        : bytes_(std::move(bytes))
    {}

    // Reads the whole file, which must be a regular file (never a link) of at
    // most `maxBytes`; throws RuntimeError (file error) naming it.
    static InputChannel Open(const std::filesystem::path &path, std::int64_t maxBytes);

    std::int64_t Position() const { return position_; }
    void Seek(std::int64_t position) { position_ = position; }
    bool AtEnd() const { return position_ > Size(); }
    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    std::string_view Bytes() const { return bytes_; }

    // The bytes of the next `count` characters; a lead byte that is the last
    // byte of the file is a character of its own. Throws input past end of
    // file when fewer characters remain.
    std::string_view Read(std::int64_t count);

private:
    std::string bytes_;
    std::int64_t position_ = 1;
};

// A disk that fills up, for tests: decides write by write how many of the
// bytes reach the file before the write fails.
class WriteFault
{
public:
    virtual ~WriteFault() = default;
    // Returns `size` to let the write through whole.
    virtual std::size_t BytesBeforeFailure(const std::filesystem::path &path, std::size_t size) = 0;
};

// A file opened for output (created or emptied) or for append (created if
// missing). Only a regular file is opened, never through a symbolic link, so
// a link or a FIFO planted under our name is refused with nothing touched.
// Throws RuntimeError (file error) with the file's name and the reason.
class OutputFile
{
public:
    enum class Mode
    {
        Replace,
        Append
    };
    OutputFile(std::filesystem::path path, Mode mode, WriteFault *fault = nullptr);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // All or nothing: on failure the file is cut back to its size before the
    // call, so no partial line is left behind, and RuntimeError is thrown.
    void Write(std::string_view bytes);
    void Close();

    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
    WriteFault *fault_;
    long long size_ = 0; // the file's length after our last write
    int descriptor_ = -1;
};

} // namespace kestrune
