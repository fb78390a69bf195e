#pragma once

#include "engine/fetchfailure.h"

#include <cstdint>
#include <optional>

namespace kestrune {

struct FetchResult;

// The pages without names since the last one with names.
struct EmptyRun
{
    std::int64_t first = 0; // 0: none
    std::int64_t last = 0;

    bool Any() const { return first > 0; }
    EmptyRun With(std::int64_t page) const { return {Any() ? first : page, page}; }
};

// What a scanned page means for the run.
enum class PageVerdict
{
    Retry,         // nothing of it is written; another try after a wait
    NamesAfterGap, // nothing of it is written; the run ends at the gap
    Refused,       // written, and its refusal ends the run
    Empty,         // written; the empty run grows by it
    Named,         // written
};

// A page taken with a status outside 2xx, as the failure it becomes if it
// has no names.
std::optional<FetchFailure> RefusalOf(const FetchResult &result);

// `retryLeft`: the page's tries so far leave room for another.
PageVerdict JudgePage(std::int64_t names, const std::optional<FetchFailure> &refusal,
                      bool retryLeft, const EmptyRun &emptyRun);

} // namespace kestrune
