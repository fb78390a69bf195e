#pragma once

#include <cstddef>
#include <string>

namespace kestrune {

// A stored page of about `size` bytes (plus the trailing CR LF) mixing ASCII
// markup, GBK Chinese text and well-formed member rows, always the same for
// the same size, and one that scans without an error.
std::string GeneratedPage(std::size_t size);

} // namespace kestrune
