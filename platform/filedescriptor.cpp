#include "platform/filedescriptor.h"

#include "platform/runtimeerror.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

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

[[noreturn]] void ThrowFileError(const std::filesystem::path &path, const std::string &reason,
                                 FileFault fault)
{
    // Our files have ASCII names, so the narrow form is exact on every system.
    throw RuntimeError(path.filename().string(), reason, fault);
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

#ifdef _WIN32
// `size` is the file's size when opened.
int OpenWithFlags(const std::filesystem::path &path, int flags, long long &size)
{
    std::error_code ignored;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored)))
        ThrowFileError(path, IsLink);
    // Windows refuses a read-only file's writes itself, but Wine run as root
    // does not; asking first keeps the two alike.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if ((flags & (_O_WRONLY | _O_RDWR)) != 0 && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        ThrowSystemError(path, EACCES);
    const int descriptor =
        _wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        // The C runtime calls this "access denied" too; the user can act on it.
        const DWORD cause = GetLastError();
        if (cause == ERROR_SHARING_VIOLATION || cause == ERROR_LOCK_VIOLATION)
            ThrowFileError(path, "正被其他程序使用", FileFault::InUse);
        ThrowSystemError(path, errno);
    }
    struct _stat64 status
    {};
    if (_fstat64(descriptor, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
        _close(descriptor);
        ThrowFileError(path, NotRegular);
    }
    size = status.st_size;
    return descriptor;
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
int OpenWithFlags(const std::filesystem::path &path, int flags, long long &size)
{
    // Non-blocking, so a FIFO cannot hold the open; refused just below.
    const int descriptor = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ELOOP)
            ThrowFileError(path, IsLink);
        if (error == ENXIO)
            ThrowFileError(path, NotRegular);
        ThrowSystemError(path, error);
    }
    struct stat status
    {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        ThrowFileError(path, NotRegular);
    }
    // Blocking again; F_SETFL keeps only the status flags of `flags` (O_APPEND).
    ::fcntl(descriptor, F_SETFL, flags);
    size = status.st_size;
    return descriptor;
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

[[noreturn]] void ThrowSystemError(const std::filesystem::path &path, int error)
{
    const FileFault fault = error == EACCES || error == EPERM ? FileFault::AccessDenied
                            : error == ENOSPC                 ? FileFault::DiskFull
                            : error == EROFS                  ? FileFault::ReadOnlyDisk
                                                              : FileFault::Other;
    ThrowFileError(path, SystemReason(error), fault);
}

FileDescriptor::FileDescriptor(const std::filesystem::path &path, Access access)
    : descriptor_(OpenWithFlags(path,
                                access == Access::Read     ? ReadOnly
                                : access == Access::Append ? WriteCreate | AppendFlag
                                                           : WriteCreate,
                                openedSize_))
{}

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
