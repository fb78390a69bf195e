#include "engine/commit/pageoutcome.h"

#include "engine/fetch/pagefetcher.h"
#include "engine/fetch/retrywait.h"

namespace kestrune {

std::optional<FetchFailure> RefusalOf(const FetchResult &result)
{
    const bool success = result.status >= 200 && result.status <= 299;
    if (success && !result.body.empty())
        return std::nullopt;
    // Outside 2xx the status tells more than an empty body.
    return FetchFailure{.kind = success ? FetchFailure::Kind::EmptyAnswer
                                        : FetchFailure::Kind::HttpStatus,
                        .address = result.address,
                        .status = result.status,
                        .reason = result.reason,
                        .retryAfter = result.retryAfter};
}

PageVerdict JudgePage(std::int64_t names, const std::optional<FetchFailure> &refusal,
                      bool retryLeft, const EmptyRun &emptyRun)
{
    if (names == 0 && refusal)
        return retryLeft && IsRetryable(*refusal) ? PageVerdict::Retry : PageVerdict::Refused;
    if (names == 0)
        // Past the ranking's end, or refused with a 2xx: the next page tells.
        return PageVerdict::Empty;
    // A ranking has no gaps.
    return emptyRun.Any() ? PageVerdict::NamesAfterGap : PageVerdict::Named;
}

} // namespace kestrune
