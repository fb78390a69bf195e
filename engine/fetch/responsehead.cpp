#include "engine/fetch/responsehead.h"

#include <cctype>

namespace kestrune {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

void ResponseHead::Read(std::string_view line)
{
    if (StartsWithNoCase(line, "http/")) {
        *this = {};
        // "HTTP/1.1 429 Too Many Requests": the words after the code.
        const std::string_view status = Trimmed(line);
        const std::size_t code = status.find(' ');
        const std::size_t words =
            code == std::string_view::npos ? code : status.find(' ', code + 1);
        if (words != std::string_view::npos)
            reason = Trimmed(status.substr(words));
    } else if (StartsWithNoCase(line, "retry-after:")) {
        retryAfter = Trimmed(line.substr(12));
    } else if (StartsWithNoCase(line, "content-encoding:")) {
        const std::string_view value = Trimmed(line.substr(17));
        if (!value.empty()) {
            if (!contentEncoding.empty())
                contentEncoding += ',';
            contentEncoding += value;
        }
    }
}

} // namespace kestrune
