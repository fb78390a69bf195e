#include "platform/textchannel.h"

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

namespace {

[[noreturn]] void ThrowFileError(const std::filesystem::path &path, const std::string &reason)
{
    // Our files have ASCII names, so the narrow form is exact on every system.
    throw RuntimeError(ErrorKind::FileError, path.filename().string() + "：" + reason);
}

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

[[noreturn]] void ThrowSystemError(const std::filesystem::path &path, int error)
{
    ThrowFileError(path, SystemReason(error));
}

constexpr char NotRegular[] = "不是普通文件，不会读写它";
constexpr char IsLink[] = "是符号链接，不会跟随它";

#ifdef _WIN32
// `size` is the file's size when opened.
int OpenDescriptor(const std::filesystem::path &path, int flags, long long &size)
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
            ThrowFileError(path, "正被其他程序使用，关闭那个程序后再试");
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
int OpenDescriptor(const std::filesystem::path &path, int flags, long long &size)
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

// Closes on every path out of a read.
class DescriptorGuard
{
public:
    explicit DescriptorGuard(int descriptor)
        : descriptor_(descriptor)
    {}
    ~DescriptorGuard() { CloseDescriptor(descriptor_); }
    DescriptorGuard(const DescriptorGuard &) = delete;
    DescriptorGuard &operator=(const DescriptorGuard &) = delete;
    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

} // namespace

InputChannel InputChannel::Open(const std::filesystem::path &path, std::int64_t maxBytes)
{
    long long size = 0;
    const DescriptorGuard file(OpenDescriptor(path, ReadOnly, size));
    // Read straight into the page, sized as the file was opened plus the byte
    // that shows its end; a file that grows meanwhile is still read whole.
    std::string bytes(static_cast<std::size_t>(std::clamp<long long>(size, 0, maxBytes)) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const long long got = ReadSome(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystemError(path, errno);
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
        if (static_cast<std::int64_t>(filled) > maxBytes)
            ThrowFileError(path, "超过 " + std::to_string(maxBytes) + " 字节，不是本程序写的页面");
    }
    bytes.resize(filled);
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

OutputFile::OutputFile(std::filesystem::path path, Mode mode, WriteFault *fault)
    : path_(std::move(path))
    , fault_(fault)
    , descriptor_(
          OpenDescriptor(path_, WriteCreate | (mode == Mode::Append ? AppendFlag : 0), size_))
{
    // Emptied only once we know it is our own regular file, and only when it
    // holds something: ext4 writes a file that was emptied and then written
    // out to disk as it is closed, even when it was empty already.
    if (mode == Mode::Replace && size_ != 0) {
        if (!Truncate(descriptor_, 0)) {
            const int error = errno;
            CloseDescriptor(descriptor_);
            ThrowSystemError(path_, error);
        }
        size_ = 0;
    }
}

OutputFile::~OutputFile()
{
    if (descriptor_ >= 0)
        CloseDescriptor(descriptor_);
}

void OutputFile::Write(std::string_view bytes)
{
    if (descriptor_ < 0)
        ThrowSystemError(path_, EBADF);
    // No other writer touches our files while a run holds the lock, so the
    // end is where the last write left it.
    const long long before = size_;
    const std::size_t allowed =
        fault_ ? std::min(fault_->BytesBeforeFailure(path_, bytes.size()), bytes.size())
               : bytes.size();
    std::size_t done = 0;
    int error = 0;
    while (done < allowed) {
        const long long wrote = WriteSome(descriptor_, bytes.data() + done, allowed - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            error = wrote < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (done == bytes.size()) {
        size_ += static_cast<long long>(done);
        return;
    }
    if (error == 0)
        error = ENOSPC;
    // Best effort: the write error is what we report.
    Truncate(descriptor_, before);
    ThrowSystemError(path_, error);
}

void OutputFile::Close()
{
    if (descriptor_ < 0)
        return;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (CloseDescriptor(descriptor) != 0)
        ThrowSystemError(path_, errno);
}

} // namespace kestrune
