#pragma once

#include "platform/expected.h"
#include "platform/runtimeerror.h"

#include <cstddef>
#include <filesystem>
#include <string>

// The page and results files' system calls, alike on Linux and Windows.
namespace kestrune {

// A file error naming the file, with a reason in Chinese.
RuntimeError FileError(const std::filesystem::path &path, const std::string &reason,
                       FileFault fault = FileFault::Other);
// The same for a system call's errno.
RuntimeError SystemError(const std::filesystem::path &path, int error);

// An open file, closed with this object. Only a regular file is opened, never
// through a symbolic link, so a link or a FIFO planted under our name is
// refused with nothing touched. Failures to open come back as a file error
// (see above); the others return as the system calls do, with errno set.
class FileDescriptor
{
public:
    enum class Access
    {
        Read,
        Write, // created if missing
        Append // created if missing
    };
    static Expected<FileDescriptor> Open(const std::filesystem::path &path, Access access);
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor(FileDescriptor &&other) noexcept;
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;

    // The file's length when it was opened.
    long long OpenedSize() const { return openedSize_; }
    bool IsOpen() const { return descriptor_ >= 0; }
    long long ReadSome(char *buffer, std::size_t size);
    long long WriteSome(const char *bytes, std::size_t size);
    bool Truncate(long long size);
    // Also when it fails, the descriptor is gone.
    bool Close();

private:
    FileDescriptor(int descriptor, long long openedSize)
        : openedSize_(openedSize)
        , descriptor_(descriptor)
    {}

    long long openedSize_ = 0;
    int descriptor_ = -1;
};

} // namespace kestrune
