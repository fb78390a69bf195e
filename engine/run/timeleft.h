#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrune {

// Milliseconds a run has left: each page left costs the pause plus the mean
// fetch so far. None before a page has been measured.
std::optional<std::int64_t> TimeLeftMilliseconds(std::int64_t pagesLeft, std::int64_t pauseMs,
                                                 std::int64_t fetchMsTotal,
                                                 std::int64_t pagesMeasured);

// The pause between pages a delay text asks for; 0 when it cannot be read,
// as the run itself then fails.
std::int64_t PauseOfDelay(std::string_view delayText);

// What the fetches of a run have cost so far, from the times of the
// exporter's pageStarted() and pageFinished() on its clock.
class FetchPace
{
public:
    void PageStarted(std::int64_t nowMs) { startedMs_ = nowMs; }
    // The page's time less its pause is the fetch's.
    void PageFinished(std::int64_t nowMs, std::int64_t pauseMs);
    std::optional<std::int64_t> TimeLeft(std::int64_t pagesLeft, std::int64_t pauseMs) const
    {
        return TimeLeftMilliseconds(pagesLeft, pauseMs, fetchMsTotal_, pagesMeasured_);
    }

private:
    std::int64_t startedMs_ = 0;
    std::int64_t fetchMsTotal_ = 0;
    std::int64_t pagesMeasured_ = 0;
};

} // namespace kestrune
