#include "clock.h"

#include <chrono>
#include <cmath>

namespace kestrune {

std::int64_t SystemClock::WallMilliseconds() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

const SystemClock &SystemClock::Instance()
{
    static const SystemClock clock;
    return clock;
}

std::int64_t FetchTimeoutMilliseconds(std::int64_t sentAtWallMs)
{
    constexpr std::int64_t second = 1000;
    const std::int64_t intoSecond = ((sentAtWallMs % second) + second) % second;
    return 4 * second - intoSecond;
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
