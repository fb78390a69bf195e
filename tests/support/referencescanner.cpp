#include "tests/support/referencescanner.h"

#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrune {

namespace {

using Characters = std::vector<std::string_view>;

// A span returned by Read ends on a character boundary, so a lead byte pairs
// with the next byte of the span unless it is the span's (and file's) last.
Characters SplitCharacters(std::string_view span)
{
    Characters characters;
    std::size_t offset = 0;
    while (offset < span.size()) {
        const bool pair =
            IsLeadByte(static_cast<unsigned char>(span[offset])) && offset + 1 < span.size();
        const std::size_t length = pair ? 2 : 1;
        characters.push_back(span.substr(offset, length));
        offset += length;
    }
    return characters;
}

// 1-based index of the first character equal to `c` at or after index
// `from`; 0 when there is none.
std::size_t IndexOf(const Characters &characters, char c, std::size_t from = 1)
{
    for (std::size_t index = from; index <= characters.size(); ++index) {
        if (characters[index - 1] == std::string_view(&c, 1))
            return index;
    }
    return 0;
}

// Characters first..last (1-based, inclusive) joined back into bytes.
std::string Join(const Characters &characters, std::size_t first, std::size_t last)
{
    std::string bytes;
    for (std::size_t index = first; index <= last; ++index)
        bytes += characters[index - 1];
    return bytes;
}

struct EventRecorder final : ScanSink
{
    void Name(std::int64_t n, std::string_view name) override { events.emplace_back(n, name); }
    void Value(std::string_view value) override { events.emplace_back(std::nullopt, value); }
    std::vector<ScanEvent> events;
};

} // namespace

Expected<> ReferenceScanPageFile(ScannerState &state, InputChannel &page, ScanSink &sink)
{
    state.ScanPosition = 1;
    while (!page.AtEnd()) {
        const std::int64_t windowStart = state.ScanPosition;
        page.Seek(state.ScanPosition);
        state.ScanPosition += 1;
        const Expected<std::string_view> window = page.Read(9);
        if (!window)
            return window.Error();
        state.MarkerWindow = *window; // nine characters, compared as bytes

        if (state.MarkerWindow == "username=") {
            const Expected<std::string_view> field = page.Read(53);
            if (!field)
                return field.Error();
            Characters name = SplitCharacters(*field);
            const std::size_t i = IndexOf(name, '>');
            name.erase(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(i));
            const std::size_t j = IndexOf(name, '<');
            if (j == 0)
                return RuntimeError(ErrorKind::InvalidArgument, "no '<' after the name",
                                    windowStart);
            state.NameField = Join(name, 1, j - 1);
            state.RankCounter += 1;
            sink.Name(state.RankCounter, state.NameField);
        } else if (state.MarkerWindow == "l_item_ex") {
            const Expected<std::string_view> field = page.Read(15);
            if (!field)
                return field.Error();
            const Characters value = SplitCharacters(*field);
            const std::size_t j = IndexOf(value, '<', 10);
            if (j == 0)
                return RuntimeError(ErrorKind::InvalidArgument, "no '<' after the value",
                                    windowStart);
            state.ValueField = Join(value, 10, j - 1);
            sink.Value(state.ValueField);
        }
    }
    return {};
}

ScanOutcome RunScan(ScanFunction scan, std::string page, std::int64_t rankCounter)
{
    InputChannel channel(std::move(page));
    ScannerState state;
    state.RankCounter = rankCounter;
    EventRecorder recorder;
    ScanOutcome outcome;
    if (const Expected<> scanned = scan(state, channel, recorder); !scanned) {
        outcome.error = scanned.Error().Kind();
        outcome.errorOffset = scanned.Error().ByteOffset();
    }
    outcome.events = std::move(recorder.events);
    outcome.rankCounter = state.RankCounter;
    outcome.scanPosition = state.ScanPosition;
    return outcome;
}

} // namespace kestrune
