#pragma once

#include <cstdint>

namespace kestrune {

// The time behind the fetch timeout and the pause between pages, and the
// real waiting a timer needs for a span of it: replaceable, so tests can run
// the 3-4 s rule and long pauses in milliseconds, at any point of a second.
class Clock
{
public:
    virtual ~Clock() = default;
    // Calendar time, for the whole-second rule.
    virtual std::int64_t WallMilliseconds() const = 0;
    // Never goes back; for deadlines.
    virtual std::int64_t MonotonicMilliseconds() const = 0;
    // Real milliseconds a timer waits for `span` milliseconds of this clock.
    virtual std::int64_t TimerMilliseconds(std::int64_t span) const { return span; }
};

class SystemClock final : public Clock
{
public:
    std::int64_t WallMilliseconds() const override;
    std::int64_t MonotonicMilliseconds() const override;
    static const SystemClock &Instance();
};

// The system's time run `factor` times faster from the moment it is made,
// starting at a chosen point of the wall-clock second.
class FastClock final : public Clock
{
public:
    FastClock(std::int64_t factor, std::int64_t wallStartMs);
    std::int64_t WallMilliseconds() const override;
    std::int64_t MonotonicMilliseconds() const override;
    std::int64_t TimerMilliseconds(std::int64_t span) const override;

private:
    std::int64_t factor_;
    std::int64_t wallStartMs_;
    std::int64_t realStartMs_;
};

// A fetch gives up once more than `boundaries` whole-second boundaries have
// passed since it was sent: the wait is from its start to the next boundary,
// `boundaries` to `boundaries` + 1 s (3 to 4 s by default).
std::int64_t FetchTimeoutMilliseconds(std::int64_t sentAtWallMs, int boundaries);

// Whole milliseconds a pause of `seconds` lasts; 0 or less means none.
std::int64_t PauseMilliseconds(float seconds);

} // namespace kestrune
