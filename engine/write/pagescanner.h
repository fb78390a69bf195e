#pragma once

#include "platform/expected.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

class InputChannel;

inline constexpr std::string_view NameMarker = "username=";
inline constexpr std::string_view ValueMarker = "l_item_ex";

// The scan's working state; RankCounter runs on for the owner's whole life.
struct ScannerState
{
    std::int64_t ScanPosition = 0;
    std::string MarkerWindow;
    std::string NameField;
    std::string ValueField;
    std::int64_t RankCounter = 0;
};

// What a scan meets, in file order; how it is written out is the sink's
// business.
class ScanSink
{
public:
    virtual ~ScanSink() = default;
    // A member's name, numbered with the counter just advanced.
    virtual void Name(std::int64_t counter, std::string_view name) = 0;
    // The value that ends a member's line.
    virtual void Value(std::string_view value) = 0;
};

// Looks at the nine characters starting at every byte of the page and reports
// a numbered name for each "username=" marker and a value for each "l_item_ex"
// marker. Fails (input past end of file, invalid argument) with the byte
// offset of the window that failed; what was reported before stays reported.
Expected<> ScanPageFile(ScannerState &state, InputChannel &page, ScanSink &sink);

} // namespace kestrune
