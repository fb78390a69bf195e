#pragma once

#include "engine/fetch/fetchfailure.h"
#include "platform/runtimeerror.h"

#include <QString>

namespace kestrune {

// For a message's detail: the error's Chinese name with the lower layer's
// words and where: 文件错误（jieguo.txt：拒绝访问）.
QString DescribeError(const RuntimeError &error);

// For a message's detail: the lower layer's words and the full address.
QString DescribeFetchFailure(const FetchFailure &failure);

} // namespace kestrune
