#include "platform/outputfile.h"

#include <algorithm>
#include <cerrno>

namespace kestrune {

OutputFile::OutputFile(std::filesystem::path path, Mode mode, WriteFault *fault)
    : path_(std::move(path))
    , fault_(fault)
    , file_(path_,
            mode == Mode::Append ? FileDescriptor::Access::Append : FileDescriptor::Access::Write)
    , size_(file_.OpenedSize())
{
    // Emptied only once we know it is our own regular file, and only when it
    // holds something: ext4 writes a file that was emptied and then written
    // out to disk as it is closed, even when it was empty already.
    if (mode == Mode::Replace && size_ != 0) {
        if (!file_.Truncate(0))
            ThrowSystemError(path_, errno);
        size_ = 0;
    }
}

void OutputFile::Write(std::string_view bytes)
{
    if (!file_.IsOpen())
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
        return;
    }
    if (error == 0)
        error = ENOSPC;
    // Best effort: the write error is what we report.
    file_.Truncate(before);
    ThrowSystemError(path_, error);
}

void OutputFile::Close()
{
    if (file_.IsOpen() && !file_.Close())
        ThrowSystemError(path_, errno);
}

} // namespace kestrune
