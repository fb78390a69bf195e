#include "platform/narrowing.h"

#include <cfloat>
#include <cmath>

namespace kestrune {

Expected<std::int32_t> RoundToInt32(double value)
{
    const double rounded = std::nearbyint(value); // default mode: halves to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return RuntimeError(ErrorKind::Overflow, "数值超出 32 位整数范围");
    return static_cast<std::int32_t>(rounded);
}

Expected<float> ToSingle(double value)
{
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        return RuntimeError(ErrorKind::Overflow, "数值超出单精度范围");
    return static_cast<float>(value);
}

} // namespace kestrune
