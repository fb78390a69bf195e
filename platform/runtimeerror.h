#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

// The kinds of failure a run can meet; each stops the run, never the program.
enum class ErrorKind
{
    TypeMismatch,
    Overflow,
    InvalidArgument,
    InputPastEnd,
    FileError,
    NetworkError,
    Timeout,
    Stopped,
};

// What a user can put right in a file error; Other for the rest.
enum class FileFault
{
    Other,
    AccessDenied, // read-only, or no permission
    DiskFull,
    ReadOnlyDisk,
    InUse, // another program holds it (Windows)
};

// Chinese name of the error, UTF-8.
std::string_view ErrorName(ErrorKind kind);

// A failure as a value (expected.h carries it); never thrown.
class RuntimeError
{
public:
    RuntimeError(ErrorKind kind, std::string detail, std::optional<std::int64_t> byteOffset = {});
    // A file error: the detail is the file's name and the reason.
    RuntimeError(std::string fileName, const std::string &reason, FileFault fault);

    ErrorKind Kind() const { return kind_; }
    // What and where, UTF-8; may be empty.
    const std::string &Detail() const { return detail_; }
    // 1-based position in the page file, for scan errors.
    std::optional<std::int64_t> ByteOffset() const { return byteOffset_; }
    // File errors only: the file's name in UTF-8 (empty otherwise), and the cause.
    const std::string &FileName() const { return fileName_; }
    FileFault Fault() const { return fault_; }

private:
    ErrorKind kind_;
    std::string detail_;
    std::optional<std::int64_t> byteOffset_;
    std::string fileName_;
    FileFault fault_ = FileFault::Other;
};

} // namespace kestrune
