#pragma once

#include <string>
#include <string_view>

namespace kestrune {

// The text with the full-width forms of ASCII (U+FF01..U+FF5E) and the
// ideographic space, as a Chinese input method types them, in ASCII; UTF-8
// in and out. Both number readings read a box's text so.
std::string HalfWidth(std::string_view text);

} // namespace kestrune
