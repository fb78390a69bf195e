#include "engine/run/timeleft.h"

#include "engine/write/pagerange.h"
#include "platform/clock.h"

#include <algorithm>

namespace kestrune {

std::optional<std::int64_t> TimeLeftMilliseconds(std::int64_t pagesLeft, std::int64_t pauseMs,
                                                 std::int64_t fetchMsTotal,
                                                 std::int64_t pagesMeasured)
{
    if (pagesMeasured <= 0)
        return std::nullopt;
    const std::int64_t meanFetchMs = fetchMsTotal / pagesMeasured;
    return std::max<std::int64_t>(0, pagesLeft) *
           (std::max<std::int64_t>(0, pauseMs) + meanFetchMs);
}

std::int64_t PauseOfDelay(std::string_view delayText)
{
    const Expected<float> seconds = PauseSeconds(delayText);
    return seconds ? PauseMilliseconds(*seconds) : 0;
}

void FetchPace::PageFinished(std::int64_t nowMs, std::int64_t pauseMs)
{
    fetchMsTotal_ += std::max<std::int64_t>(0, nowMs - startedMs_ - pauseMs);
    ++pagesMeasured_;
}

} // namespace kestrune
