#include "platform/textchannel.h"

#include "platform/filedescriptor.h"
#include "platform/runtimeerror.h"

#include <algorithm>
#include <cerrno>

namespace kestrune {

Expected<InputChannel> InputChannel::Open(const std::filesystem::path &path, std::int64_t maxBytes)
{
    Expected<FileDescriptor> opened = FileDescriptor::Open(path, FileDescriptor::Access::Read);
    if (!opened)
        return opened.Error();
    FileDescriptor &file = *opened;
    // Read straight into the page, sized as the file was opened plus the byte
    // that shows its end; a file that grows meanwhile is still read whole.
    std::string bytes(
        static_cast<std::size_t>(std::clamp<long long>(file.OpenedSize(), 0, maxBytes)) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const long long got = file.ReadSome(bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return SystemError(path, errno);
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
        if (static_cast<std::int64_t>(filled) > maxBytes)
            return FileError(path,
                             "超过 " + std::to_string(maxBytes) + " 字节，不是本程序写的页面");
    }
    bytes.resize(filled);
    return InputChannel(std::move(bytes));
}

Expected<std::string_view> InputChannel::Read(std::int64_t count)
{
    const std::int64_t size = Size();
    std::int64_t offset = position_ - 1;
    const std::int64_t start = offset;
    for (std::int64_t i = 0; i < count; ++i) {
        if (offset < 0 || offset >= size)
            return RuntimeError(ErrorKind::InputPastEnd, {}, position_);
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(bytes_[offset])) && offset + 1 < size;
        offset += pair ? 2 : 1;
    }
    position_ = offset + 1;
    return std::string_view(bytes_).substr(start, offset - start);
}

} // namespace kestrune
