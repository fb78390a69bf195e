#pragma once

#include "platform/expected.h"

#include <string_view>

// The two ways a box's text becomes a number. Both take UTF-8, read
// full-width forms as ASCII (halfwidth.h) and do not depend on the process
// locale.
namespace kestrune {

// A whole text that must be a number: blanks around it, a sign, digits with
// optional "," group separators, a "." fraction and an exponent, or &H / &O
// integers. Anything else (the empty text included) is a type mismatch; a
// value beyond double range is an overflow.
Expected<double> ReadNumber(std::string_view text);

// The leading number of a text, 0 when there is none. Blanks are skipped
// anywhere, "." is the decimal point, &H / &O prefixes are read, and reading
// stops at the first character that cannot continue the number; only a
// value beyond double range fails.
Expected<double> ReadLeadingNumber(std::string_view text);

} // namespace kestrune
