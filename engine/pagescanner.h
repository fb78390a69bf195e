#pragma once

#include <cstdint>
#include <string>

namespace kestrune {

class InputChannel;
class OutputChannel;

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

// Looks at the nine characters starting at every byte of the page and prints
// a numbered name for each "username=" marker and a value and line end for each
// "l_item_ex" marker. Throws RuntimeError (input past end of file, invalid
// argument) with the byte offset of the window that failed; what was printed
// before stays in `results`.
void ScanPageFile(ScannerState &state, InputChannel &page, OutputChannel &results);

} // namespace kestrune
