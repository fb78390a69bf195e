#pragma once

#include "platform/expected.h"
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
// FileDescriptor). Failures are file errors naming the file and the reason.
class OutputFile
{
public:
    enum class Mode
    {
        Replace,
        Append
    };
    static Expected<OutputFile> Open(std::filesystem::path path, Mode mode,
                                     WriteFault *fault = nullptr);

    // All or nothing: on failure the file is cut back to its size before the
    // call, so no partial line is left behind.
    Expected<> Write(std::string_view bytes);
    // Takes back what was written since the file was `size` bytes long.
    Expected<> CutBackTo(long long size);
    Expected<> Close();

    const std::filesystem::path &Path() const { return path_; }
    // The file's length after our last write.
    long long Size() const { return size_; }

private:
    OutputFile(std::filesystem::path path, WriteFault *fault, FileDescriptor file);

    std::filesystem::path path_;
    WriteFault *fault_;
    FileDescriptor file_;
    long long size_;
};

} // namespace kestrune
