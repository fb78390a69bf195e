#pragma once

#include <string>
#include <string_view>

namespace kestrune {

// How a deflate stream is wrapped, as servers send it.
enum class Wrapper
{
    Gzip,
    Zlib,
    Bare,
};

std::string Compress(std::string_view data, Wrapper wrapper);

} // namespace kestrune
