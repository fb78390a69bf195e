#include "textchannel.h"

#include "runtimeerror.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace kestrune {

namespace {

[[noreturn]] void ThrowFileError(const std::filesystem::path &path, int error)
{
    // Our files have ASCII names, so the narrow form is exact on every system.
    throw RuntimeError(ErrorKind::FileError,
                       path.filename().string() + "：" + std::strerror(error));
}

FileHandle OpenFile(const std::filesystem::path &path, const char *mode)
{
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    FileHandle file(_wfopen(path.c_str(), wideMode.c_str()));
#else
    FileHandle file(std::fopen(path.c_str(), mode));
#endif
    if (!file)
        ThrowFileError(path, errno);
    return file;
}

} // namespace

InputChannel InputChannel::Open(const std::filesystem::path &path)
{
    const FileHandle file = OpenFile(path, "rb");
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.append(chunk, got);
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(file.get()))
        ThrowFileError(path, errno);
    return InputChannel(std::move(bytes));
}

std::string_view InputChannel::Read(std::int64_t count)
{
    const std::int64_t size = Size();
    std::int64_t offset = position_ - 1;
    const std::int64_t start = offset;
    for (std::int64_t i = 0; i < count; ++i) {
        if (offset < 0 || offset >= size)
            throw RuntimeError(ErrorKind::InputPastEnd, {}, position_);
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(bytes_[offset])) && offset + 1 < size;
        offset += pair ? 2 : 1;
    }
    position_ = offset + 1;
    return std::string_view(bytes_).substr(start, offset - start);
}

void OutputChannel::PrintNumber(std::int64_t value)
{
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    buffer_ += value < 0 ? '-' : ' ';
    buffer_ += std::to_string(magnitude);
    buffer_ += ' ';
    lineOpen_ = true;
}

void OutputChannel::PrintText(std::string_view bytes)
{
    buffer_ += bytes;
    lineOpen_ = true;
}

void OutputChannel::PrintTab(std::int64_t column)
{
    const std::int64_t current = 1 + static_cast<std::int64_t>(buffer_.size()) - lineStart_;
    buffer_.append(current < column ? static_cast<std::size_t>(column - current) : 1, ' ');
    lineOpen_ = true;
}

void OutputChannel::PrintLineEnd()
{
    buffer_ += "\r\n";
    lineStart_ = static_cast<std::int64_t>(buffer_.size());
    lineOpen_ = false;
}

OutputFile::OutputFile(std::filesystem::path path, Mode mode)
    : path_(std::move(path))
    , file_(OpenFile(path_, mode == Mode::Append ? "ab" : "wb"))
{}

void OutputFile::Write(std::string_view bytes)
{
    if (!file_)
        ThrowFileError(path_, EBADF);
    std::fseek(file_.get(), 0, SEEK_END);
    const long before = std::ftell(file_.get());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size() &&
                         std::fflush(file_.get()) == 0;
    if (written)
        return;
    const int error = errno;
    std::clearerr(file_.get());
    if (before >= 0) {
        std::error_code ignored; // best effort: the write error is what we report
        std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(before), ignored);
    }
    ThrowFileError(path_, error);
}

void OutputFile::Close()
{
    if (file_ && std::fclose(file_.release()) != 0)
        ThrowFileError(path_, errno);
}

} // namespace kestrune
