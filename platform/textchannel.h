#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// Text files in code page 936, read and printed the way the page file and the
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

    // Reads the whole file; throws RuntimeError (file error) naming it.
    static InputChannel Open(const std::filesystem::path &path);

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

// Print items collected in memory, so a page's results reach the file in one
// write.
class OutputChannel
{
public:
    // A space (or "-"), the digits, a space.
    void PrintNumber(std::int64_t value);
    void PrintText(std::string_view bytes);
    // Spaces up to `column`; exactly one space when the line is already there.
    void PrintTab(std::int64_t column);
    void PrintLineEnd();

    const std::string &Buffer() const { return buffer_; }
    bool Empty() const { return buffer_.empty(); }
    // Whether the last item printed left its line open.
    bool LineOpen() const { return lineOpen_; }

private:
    std::string buffer_;
    std::int64_t lineStart_ = 0; // offset in buffer_ where the current line began
    bool lineOpen_ = false;
};

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A file opened for output (created or emptied) or for append (created if
// missing). Throws RuntimeError (file error) with the file's name and the
// system's reason.
class OutputFile
{
public:
    enum class Mode
    {
        Replace,
        Append
    };
    OutputFile(std::filesystem::path path, Mode mode);

    // All or nothing: on failure the file is cut back to its size before the
    // call, so no partial line is left behind, and RuntimeError is thrown.
    void Write(std::string_view bytes);
    void Close();

    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
    FileHandle file_;
};

} // namespace kestrune
