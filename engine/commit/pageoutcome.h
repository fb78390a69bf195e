#pragma once

#include "engine/fetch/fetchfailure.h"

#include <cstdint>
#include <optional>

namespace kestrune {

struct FetchResult;

// The pages without names since the last one with names: a ranking has no
// gaps, so names after them stop the run.
class EmptyRun
{
public:
    // Pages 0 and below lie before rank 1: an empty one there is no gap.
    static constexpr bool CanOpenGap(std::int64_t page) { return page >= 1; }

    // The run grown by `page`; unchanged when the page cannot open a gap.
    EmptyRun With(std::int64_t page) const
    {
        if (!CanOpenGap(page))
            return *this;
        EmptyRun grown;
        grown.pages_ = Span{Any() ? First() : page, page};
        return grown;
    }
    bool Any() const { return pages_.has_value(); }
    // Only when Any().
    std::int64_t First() const { return pages_->first; }
    std::int64_t Last() const { return pages_->last; }

private:
    struct Span
    {
        std::int64_t first = 0;
        std::int64_t last = 0;
    };
    std::optional<Span> pages_;
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

// A page taken with a status outside 2xx, or with nothing at all, as the
// failure it becomes if it has no names.
std::optional<FetchFailure> RefusalOf(const FetchResult &result);

// `retryLeft`: the page's tries so far leave room for another.
PageVerdict JudgePage(std::int64_t names, const std::optional<FetchFailure> &refusal,
                      bool retryLeft, const EmptyRun &emptyRun);

} // namespace kestrune
