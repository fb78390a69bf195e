#pragma once

#include <string>
#include <string_view>

namespace kestrune {

// What the fetcher keeps of a response's head, read line by line as libcurl
// hands the lines over; a new status line (after an interim 1xx) starts afresh.
struct ResponseHead
{
    std::string contentEncoding; // every Content-Encoding, joined with ','
    std::string reason;          // the status line's words after the code
    std::string retryAfter;      // as sent, seconds or an HTTP date

    void Read(std::string_view line);
};

} // namespace kestrune
