#pragma once

#include "platform/outputfile.h"

#include <string>
#include <utility>

namespace kestrune {

// Fails writes to one file as a full disk would, half of the bytes written:
// the n-th write to it (from 1), or every write while `full`.
class DiskFull final : public WriteFault
{
public:
    explicit DiskFull(std::string fileName, int nth = 0)
        : fileName_(std::move(fileName))
        , left_(nth)
    {}
    std::size_t BytesBeforeFailure(const std::filesystem::path &path, std::size_t size) override
    {
        if (path.filename() != fileName_ || (--left_ != 0 && !full))
            return size;
        return size / 2;
    }
    bool full = false;

private:
    std::string fileName_;
    int left_;
};

} // namespace kestrune
