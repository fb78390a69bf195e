#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The two ways a box's text becomes a number, and the conversions that follow.
// All take UTF-8 and throw RuntimeError; none depends on the process locale.
namespace kestrune {

// A whole text that must be a number: blanks around it, a sign, digits with
// optional "," group separators, a "." fraction and an exponent, or &H / &O
// integers. Anything else (the empty text included) is a type mismatch; a
// value beyond double range is an overflow.
double ReadNumber(std::string_view text);

// The leading number of a text, 0 when there is none. Blanks are skipped
// anywhere, "." is the decimal point, &H / &O prefixes are read, and reading
// stops at the first character that cannot continue the number.
double ReadLeadingNumber(std::string_view text);

// The text with the full-width forms of ASCII (U+FF01..U+FF5E) and the
// ideographic space, as a Chinese input method types them, in ASCII. Both
// readings above read it so.
std::string HalfWidth(std::string_view text);

// Nearest 32-bit integer, halves to even; overflow outside the range.
std::int32_t RoundToInt32(double value);

// Nearest 32-bit float; overflow beyond its range.
float ToSingle(double value);

} // namespace kestrune
