#include "engine/run/pagewait.h"

#include "platform/clock.h"

#include <algorithm>

namespace kestrune {

// Longest single QTimer interval we use; longer waits re-arm.
constexpr std::int64_t SliceMs = 24LL * 60 * 60 * 1000;

PageWait::PageWait(const Clock &clock, QObject *parent)
    : QObject(parent)
    , clock_(clock)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PageWait::Tick);
}

void PageWait::Start(Kind kind, std::int64_t milliseconds)
{
    kind_ = kind;
    end_ = clock_.MonotonicMilliseconds() + milliseconds;
    Tick();
}

void PageWait::Stop()
{
    timer_.stop();
}

void PageWait::Tick()
{
    const std::int64_t remaining = end_ - clock_.MonotonicMilliseconds();
    if (remaining > 0) {
        timer_.start(static_cast<int>(clock_.TimerMilliseconds(std::min(remaining, SliceMs))));
        return;
    }
    emit over(kind_);
}

} // namespace kestrune
