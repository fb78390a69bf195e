#include "engine/write/pagescanner.h"

#include "platform/runtimeerror.h"
#include "platform/textchannel.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace kestrune {

namespace {

constexpr std::int64_t WindowChars = 9;
constexpr std::int64_t NameChars = 53;
constexpr std::int64_t ValueChars = 15;
constexpr std::int64_t ValueStart = 10;
// Nine characters never span more bytes than this, so a window starting
// earlier cannot reach the end of the file.
constexpr std::int64_t WindowMaxBytes = 2 * WindowChars;

// Characters of a span read from the page: a lead byte pairs with whatever
// follows it inside the span (the read took that byte along).
std::size_t NextChar(std::string_view span, std::size_t offset)
{
    const bool pair =
        IsLeadByte(static_cast<unsigned char>(span[offset])) && offset + 1 < span.size();
    return offset + (pair ? 2 : 1);
}

// Byte offset of the first character `c` at or after character index `from`
// (0-based); npos when there is none.
std::size_t FindChar(std::string_view span, char c, std::int64_t from, std::size_t &startByte)
{
    std::size_t offset = 0;
    for (std::int64_t index = 0; index < from && offset < span.size(); ++index)
        offset = NextChar(span, offset);
    startByte = offset;
    for (; offset < span.size(); offset = NextChar(span, offset)) {
        if (span[offset] == c)
            return offset;
    }
    return std::string_view::npos;
}

RuntimeError Invalid(const char *what, std::int64_t windowStart)
{
    return {ErrorKind::InvalidArgument, what, windowStart};
}

Expected<> HandleName(ScannerState &state, InputChannel &page, ScanSink &sink,
                      std::int64_t windowStart)
{
    const Expected<std::string_view> read = page.Read(NameChars);
    if (!read)
        return read.Error();
    const std::string_view field = *read;
    std::size_t unused = 0;
    const std::size_t close = FindChar(field, '>', 0, unused);
    const std::string_view rest = close == std::string_view::npos ? field : field.substr(close + 1);
    const std::size_t open = FindChar(rest, '<', 0, unused);
    if (open == std::string_view::npos)
        return Invalid("名字后面没有“<”", windowStart);
    state.NameField.assign(rest.substr(0, open));
    ++state.RankCounter;
    sink.Name(state.RankCounter, state.NameField);
    return {};
}

Expected<> HandleValue(ScannerState &state, InputChannel &page, ScanSink &sink,
                       std::int64_t windowStart)
{
    const Expected<std::string_view> read = page.Read(ValueChars);
    if (!read)
        return read.Error();
    const std::string_view field = *read;
    std::size_t valueByte = 0;
    const std::size_t open = FindChar(field, '<', ValueStart - 1, valueByte);
    if (open == std::string_view::npos)
        return Invalid("数值后面没有“<”", windowStart);
    state.ValueField.assign(field.substr(valueByte, open - valueByte));
    sink.Value(state.ValueField);
    return {};
}

// Reads the window at `windowStart` and acts on it, as every byte's window is.
Expected<> ScanWindow(ScannerState &state, InputChannel &page, ScanSink &sink,
                      std::int64_t windowStart)
{
    page.Seek(windowStart);
    state.ScanPosition = windowStart + 1;
    const Expected<std::string_view> window = page.Read(WindowChars);
    if (!window)
        return window.Error();
    state.MarkerWindow.assign(*window);
    if (state.MarkerWindow == NameMarker)
        return HandleName(state, page, sink, windowStart);
    if (state.MarkerWindow == ValueMarker)
        return HandleValue(state, page, sink, windowStart);
    return {};
}

// Next 1-based position at or after `from` where `marker` starts, or `limit`.
using MarkerSearcher = std::boyer_moore_horspool_searcher<std::string_view::const_iterator>;

// Built once: a searcher's table costs more than a short search.
const MarkerSearcher &SearcherFor(std::string_view marker)
{
    static const MarkerSearcher name(NameMarker.begin(), NameMarker.end());
    static const MarkerSearcher value(ValueMarker.begin(), ValueMarker.end());
    return marker == NameMarker ? name : value;
}

std::int64_t FindMarker(std::string_view bytes, std::string_view marker, std::int64_t from,
                        std::int64_t limit)
{
    if (from >= limit)
        return limit;
    const auto begin = bytes.begin() + (from - 1);
    const auto end = bytes.begin() + std::min<std::int64_t>(
                                         static_cast<std::int64_t>(bytes.size()),
                                         limit - 1 + static_cast<std::int64_t>(marker.size()) - 1);
    const auto found = std::search(begin, end, SearcherFor(marker));
    return found == end ? limit : (found - bytes.begin()) + 1;
}

} // namespace

Expected<> ScanPageFile(ScannerState &state, InputChannel &page, ScanSink &sink)
{
    // Only windows that hold a marker, and those near the end of the file,
    // can do anything; every other window is skipped without being read.
    const std::int64_t size = page.Size();
    const std::int64_t tailStart = std::max<std::int64_t>(1, size - WindowMaxBytes + 1);
    const std::string_view bytes = page.Bytes();
    state.ScanPosition = 1;

    std::int64_t nextName = FindMarker(bytes, NameMarker, 1, tailStart);
    std::int64_t nextValue = FindMarker(bytes, ValueMarker, 1, tailStart);
    for (std::int64_t marker = std::min(nextName, nextValue); marker < tailStart;
         marker = std::min(nextName, nextValue)) {
        if (Expected<> scanned = ScanWindow(state, page, sink, marker); !scanned)
            return scanned;
        if (page.AtEnd())
            return {};
        if (marker == nextName)
            nextName = FindMarker(bytes, NameMarker, marker + 1, tailStart);
        else
            nextValue = FindMarker(bytes, ValueMarker, marker + 1, tailStart);
    }
    page.Seek(tailStart);
    std::int64_t position = tailStart;
    for (; !page.AtEnd(); ++position) {
        if (Expected<> scanned = ScanWindow(state, page, sink, position); !scanned)
            return scanned;
    }
    state.ScanPosition = position;
    return {};
}

} // namespace kestrune
