#pragma once

#include "platform/filedescriptor.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace kestrune {

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
// missing); only a regular file, never through a symbolic link (see
// FileDescriptor). Throws RuntimeError (file error) with the file's name and
// the reason.
class OutputFile
{
public:
    enum class Mode
    {
        Replace,
        Append
    };
    OutputFile(std::filesystem::path path, Mode mode, WriteFault *fault = nullptr);

    // All or nothing: on failure the file is cut back to its size before the
    // call, so no partial line is left behind, and RuntimeError is thrown.
    void Write(std::string_view bytes);
    void Close();

    const std::filesystem::path &Path() const { return path_; }

private:
    std::filesystem::path path_;
    WriteFault *fault_;
    FileDescriptor file_;
    long long size_; // the file's length after our last write
};

} // namespace kestrune
