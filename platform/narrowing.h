#pragma once

#include "platform/expected.h"

#include <cstdint>

namespace kestrune {

// Nearest 32-bit integer, halves to even; overflow outside the range.
Expected<std::int32_t> RoundToInt32(double value);

// Nearest 32-bit float; overflow beyond its range.
Expected<float> ToSingle(double value);

} // namespace kestrune
