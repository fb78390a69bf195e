#include "platform/runtimeerror.h"

namespace kestrune {

std::string_view ErrorName(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::TypeMismatch:
        return "类型不匹配";
    case ErrorKind::Overflow:
        return "溢出";
    case ErrorKind::InvalidArgument:
        return "无效的过程调用或参数";
    case ErrorKind::InputPastEnd:
        return "输入超出文件尾";
    case ErrorKind::FileError:
        return "文件错误";
    case ErrorKind::NetworkError:
        return "网络错误";
    case ErrorKind::Timeout:
        return "请求超时";
    case ErrorKind::Stopped:
        return "已停止";
    }
    return "未知错误";
}

RuntimeError::RuntimeError(ErrorKind kind, std::string detail,
                           std::optional<std::int64_t> byteOffset)
    : kind_(kind)
    , detail_(std::move(detail))
    , byteOffset_(byteOffset)
{}

RuntimeError::RuntimeError(std::string fileName, const std::string &reason, FileFault fault)
    : RuntimeError(ErrorKind::FileError, fileName + "：" + reason)
{
    fileName_ = std::move(fileName);
    fault_ = fault;
}

} // namespace kestrune
