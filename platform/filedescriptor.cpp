#include "platform/filedescriptor.h"

#include "platform/runtimeerror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrune {

RuntimeError FileError(const std::filesystem::path &path, const std::string &reason,
                       FileFault fault)
{
    // UTF-8 on every system: a table is named after its forum.
    const std::u8string name = path.filename().u8string();
    return {std::string(name.begin(), name.end()), reason, fault};
}

namespace {

// The usual reasons in the program's own language, whatever the system's
// (the Windows C runtime knows only English); the system's words otherwise.
std::string SystemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "拒绝访问";
    case ENOSPC:
        return "磁盘空间不足";
    case EROFS:
        return "磁盘是只读的";
    case ENOENT:
        return "找不到文件或其所在的文件夹";
    case EISDIR:
        return "是一个文件夹";
    case EFBIG:
        return "文件太大";
    case EMFILE:
    case ENFILE:
        return "打开的文件太多";
    default:
        return std::strerror(error);
    }
}

constexpr char NotRegular[] = "不是普通文件，不会读写它";
constexpr char IsLink[] = "是符号链接，不会跟随它";

struct Opened
{
    int descriptor = -1;
    long long size = 0; // when opened
};

#ifdef _WIN32
Expected<Opened> OpenWithFlags(const std::filesystem::path &path, int flags)
{
    std::error_code ignored;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored)))
        return FileError(path, IsLink);
    // Windows refuses a read-only file's writes itself, but Wine run as root
    // does not; asking first keeps the two alike.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if ((flags & (_O_WRONLY | _O_RDWR)) != 0 && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return SystemError(path, EACCES);
    const int descriptor =
        _wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        // The C runtime calls this "access denied" too; the user can act on it.
        const DWORD cause = GetLastError();
        if (cause == ERROR_SHARING_VIOLATION || cause == ERROR_LOCK_VIOLATION)
            return FileError(path, "正被其他程序使用", FileFault::InUse);
        return SystemError(path, errno);
    }
    struct _stat64 status
    {};
    if (_fstat64(descriptor, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        _close(descriptor);
        return FileError(path, NotRegular);
    }
    return Opened{descriptor, status.st_size};
}
constexpr int ReadOnly = _O_RDONLY;
constexpr int WriteCreate = _O_WRONLY | _O_CREAT;
constexpr int AppendFlag = _O_APPEND;
long long ReadSome(int descriptor, char *buffer, std::size_t size)
{
    return _read(descriptor, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 30)));
}
long long WriteSome(int descriptor, const char *bytes, std::size_t size)
{
    return _write(descriptor, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 30)));
}
bool Truncate(int descriptor, long long size)
{
    return _chsize_s(descriptor, size) == 0;
}
int CloseDescriptor(int descriptor)
{
    return _close(descriptor);
}
#else
Expected<Opened> OpenWithFlags(const std::filesystem::path &path, int flags)
{
    // Non-blocking, so a FIFO cannot hold the open; refused just below.
    const int descriptor = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ELOOP)
            return FileError(path, IsLink);
        if (error == ENXIO)
            return FileError(path, NotRegular);
        return SystemError(path, error);
    }
    struct stat status
    {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return FileError(path, NotRegular);
    }
    // Blocking again; F_SETFL keeps only the status flags of `flags` (O_APPEND).
    ::fcntl(descriptor, F_SETFL, flags);
    return Opened{descriptor, status.st_size};
}
constexpr int ReadOnly = O_RDONLY;
constexpr int WriteCreate = O_WRONLY | O_CREAT;
constexpr int AppendFlag = O_APPEND;
long long ReadSome(int descriptor, char *buffer, std::size_t size)
{
    return ::read(descriptor, buffer, size);
}
long long WriteSome(int descriptor, const char *bytes, std::size_t size)
{
    return ::write(descriptor, bytes, size);
}
bool Truncate(int descriptor, long long size)
{
    return ::ftruncate(descriptor, size) == 0;
}
int CloseDescriptor(int descriptor)
{
    return ::close(descriptor);
}
#endif

} // namespace

RuntimeError SystemError(const std::filesystem::path &path, int error)
{
    const FileFault fault = error == EACCES || error == EPERM ? FileFault::AccessDenied
                            : error == ENOSPC                 ? FileFault::DiskFull
                            : error == EROFS                  ? FileFault::ReadOnlyDisk
                                                              : FileFault::Other;
    return FileError(path, SystemReason(error), fault);
}

Expected<FileDescriptor> FileDescriptor::Open(const std::filesystem::path &path, Access access)
{
    Expected<Opened> opened =
        OpenWithFlags(path, access == Access::Read     ? ReadOnly
                            : access == Access::Append ? WriteCreate | AppendFlag
                                                       : WriteCreate);
    if (!opened)
        return opened.Error();
    return FileDescriptor(opened->descriptor, opened->size);
}

FileDescriptor::FileDescriptor(FileDescriptor &&other) noexcept
    : openedSize_(other.openedSize_)
    , descriptor_(std::exchange(other.descriptor_, -1))
{}

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            CloseDescriptor(descriptor_);
        openedSize_ = other.openedSize_;
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    if (descriptor_ >= 0)
        CloseDescriptor(descriptor_);
}

long long FileDescriptor::ReadSome(char *buffer, std::size_t size)
{
    return kestrune::ReadSome(descriptor_, buffer, size);
}

long long FileDescriptor::WriteSome(const char *bytes, std::size_t size)
{
    return kestrune::WriteSome(descriptor_, bytes, size);
}

bool FileDescriptor::Truncate(long long size)
{
    return kestrune::Truncate(descriptor_, size);
}

bool FileDescriptor::Close()
{
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return CloseDescriptor(descriptor) == 0;
}

} // namespace kestrune
