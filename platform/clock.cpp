#include "platform/clock.h"

#include <chrono>
#include <cmath>

namespace kestrune {

std::int64_t SystemClock::WallMilliseconds() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SystemClock::MonotonicMilliseconds() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

const SystemClock &SystemClock::Instance()
{
    static const SystemClock clock;
    return clock;
}

FastClock::FastClock(std::int64_t factor, std::int64_t wallStartMs)
    : factor_(factor)
    , wallStartMs_(wallStartMs)
    , realStartMs_(SystemClock::Instance().MonotonicMilliseconds())
{}

std::int64_t FastClock::MonotonicMilliseconds() const
{
    return (SystemClock::Instance().MonotonicMilliseconds() - realStartMs_) * factor_;
}

std::int64_t FastClock::WallMilliseconds() const
{
    return wallStartMs_ + MonotonicMilliseconds();
}

std::int64_t FastClock::TimerMilliseconds(std::int64_t span) const
{
    return (span + factor_ - 1) / factor_;
}

std::int64_t FetchTimeoutMilliseconds(std::int64_t sentAtWallMs, int boundaries)
{
    constexpr std::int64_t second = 1000;
    const std::int64_t intoSecond = ((sentAtWallMs % second) + second) % second;
    return (boundaries + 1) * second - intoSecond;
}

std::int64_t PauseMilliseconds(float seconds)
{
    if (!(seconds > 0))
        return 0;
    // Far beyond any real pause, and safe to convert.
    constexpr double longest = 1e15;
    return static_cast<std::int64_t>(
        std::llround(std::fmin(static_cast<double>(seconds) * 1000.0, longest)));
}

} // namespace kestrune
