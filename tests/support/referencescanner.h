#pragma once

#include "engine/pagescanner.h"
#include "platform/runtimeerror.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

class InputChannel;

// The scan done the slow, literal way: every byte's window read and compared,
// fields cut character by character. Kept plain so that the fast scanner can
// be checked against it; same state, channel, sink and errors.
void ReferenceScanPageFile(ScannerState &state, InputChannel &page, ScanSink &sink);

// A name with its number, or a value.
struct ScanEvent
{
    std::optional<std::int64_t> number; // none: a value
    std::string text;

    bool operator==(const ScanEvent &) const = default;
};

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

using ScanFunction = void (*)(ScannerState &, InputChannel &, ScanSink &);

// One scan of `page` from a fresh channel, what it met recorded, with the counter at `rankCounter`.
ScanOutcome RunScan(ScanFunction scan, std::string page, std::int64_t rankCounter = 0);
// The same over a channel rewound first, so one page can be scanned twice
// without being copied.
ScanOutcome RunScan(ScanFunction scan, InputChannel &page, std::int64_t rankCounter);

} // namespace kestrune
