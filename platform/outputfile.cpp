#include "platform/outputfile.h"

#include <algorithm>
#include <cerrno>

namespace kestrune {

OutputFile::OutputFile(std::filesystem::path path, WriteFault *fault, FileDescriptor file)
    : path_(std::move(path))
    , fault_(fault)
    , file_(std::move(file))
    , size_(file_.OpenedSize())
{}

Expected<OutputFile> OutputFile::Open(std::filesystem::path path, Mode mode, WriteFault *fault)
{
    Expected<FileDescriptor> file =
        FileDescriptor::Open(path, mode == Mode::Append ? FileDescriptor::Access::Append
                                                        : FileDescriptor::Access::Write);
    if (!file)
        return file.Error();
    OutputFile opened(std::move(path), fault, std::move(*file));
    // Emptied only once we know it is our own regular file, and only when it
    // holds something: ext4 writes a file that was emptied and then written
    // out to disk as it is closed, even when it was empty already.
    if (mode == Mode::Replace && opened.size_ != 0) {
        if (Expected<> emptied = opened.CutBackTo(0); !emptied)
            return emptied.Error();
    }
    return opened;
}

Expected<> OutputFile::Write(std::string_view bytes)
{
    if (!file_.IsOpen())
        return SystemError(path_, EBADF);
    // No other writer touches our files while a run holds the lock, so the
    // end is where the last write left it.
    const long long before = size_;
    const std::size_t allowed =
        fault_ ? std::min(fault_->BytesBeforeFailure(path_, bytes.size()), bytes.size())
               : bytes.size();
    std::size_t done = 0;
    int error = 0;
    while (done < allowed) {
        const long long wrote = file_.WriteSome(bytes.data() + done, allowed - done);
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
        return {};
    }
    // Best effort: the write error is what we report.
    (void)file_.Truncate(before);
    return SystemError(path_, error == 0 ? ENOSPC : error);
}

Expected<> OutputFile::CutBackTo(long long size)
{
    if (!file_.IsOpen() || !file_.Truncate(size))
        return SystemError(path_, file_.IsOpen() ? errno : EBADF);
    size_ = size;
    return {};
}

Expected<> OutputFile::Close()
{
    if (file_.IsOpen() && !file_.Close())
        return SystemError(path_, errno);
    return {};
}

} // namespace kestrune
