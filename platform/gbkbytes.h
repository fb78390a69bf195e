#pragma once

// How code page 936 pairs its bytes.
namespace kestrune {

// A byte 0x81..0xFE starts a two-byte character, whatever byte follows.
constexpr bool IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// A byte that may follow a lead byte in a well-formed character.
constexpr bool IsTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

} // namespace kestrune
