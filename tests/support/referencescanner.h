#pragma once

#include "engine/write/pagescanner.h"
#include "platform/runtimeerror.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrune {

class InputChannel;

// The scan done the slow, literal way: every byte's window read and compared,
// fields cut character by character. Kept plain so that the fast scanner can
// be checked against it; same state, channel, sink and errors.
Expected<> ReferenceScanPageFile(ScannerState &state, InputChannel &page, ScanSink &sink);

// A name with its number, or (no number) a value.
using ScanEvent = std::pair<std::optional<std::int64_t>, std::string>;

// Everything a scan leaves behind that the export depends on.
struct ScanOutcome
{
    std::vector<ScanEvent> events;
    std::optional<ErrorKind> error;
    std::optional<std::int64_t> errorOffset;
    std::int64_t rankCounter = 0;
    std::int64_t scanPosition = 0;

    bool operator==(const ScanOutcome &) const = default;
};

using ScanFunction = Expected<> (*)(ScannerState &, InputChannel &, ScanSink &);

// One scan of `page` with the counter at `rankCounter`, what it met recorded.
ScanOutcome RunScan(ScanFunction scan, std::string page, std::int64_t rankCounter = 0);

} // namespace kestrune
