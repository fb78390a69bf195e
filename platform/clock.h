#pragma once

#include <cstdint>

namespace kestrune {

// Wall-clock time behind the fetch timeout; replaceable so the rule can be
// checked at any point of a second.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::int64_t WallMilliseconds() const = 0;
};

class SystemClock final : public Clock
{
public:
    std::int64_t WallMilliseconds() const override;
    static const SystemClock &Instance();
};

// A fetch gives up once more than 3 whole-second boundaries have passed since
// it was sent: the wait is from its start to the 4th boundary, 3 to 4 s.
std::int64_t FetchTimeoutMilliseconds(std::int64_t sentAtWallMs);

// Whole milliseconds a pause of `seconds` lasts; 0 or less means none.
std::int64_t PauseMilliseconds(float seconds);

} // namespace kestrune
