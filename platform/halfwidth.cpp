#include "platform/halfwidth.h"

namespace kestrune {

std::string HalfWidth(std::string_view text)
{
    const auto byte = [&text](std::size_t at) {
        return static_cast<unsigned char>(text[at]);
    };
    std::string half;
    half.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at + 2 < text.size() && byte(at) == 0xEF &&
            (byte(at + 1) == 0xBC || byte(at + 1) == 0xBD)) {
            // U+FF01..U+FF5E: EF BC 81..EF BD 9E.
            const unsigned low = (byte(at + 1) & 0x3u) << 6 | (byte(at + 2) & 0x3Fu);
            if (low >= 0x01 && low <= 0x5E) {
                half += static_cast<char>(low + 0x20);
                at += 2;
                continue;
            }
        } else if (at + 2 < text.size() && byte(at) == 0xE3 && byte(at + 1) == 0x80 &&
                   byte(at + 2) == 0x80) {
            half += ' '; // U+3000
            at += 2;
            continue;
        }
        half += text[at];
    }
    return half;
}

} // namespace kestrune
