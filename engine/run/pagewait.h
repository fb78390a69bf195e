#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

namespace kestrune {

class Clock;

// The run's one wait at a time: the pause after a page is stored, or the
// wait before another try. Measured on the clock's monotonic time, so a
// wait across midnight or a clock change still lasts what it should.
class PageWait final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageWait)

public:
    enum class Kind
    {
        Pause, // after a page is stored, before its scan
        Retry, // before another try of the page
    };

    explicit PageWait(const Clock &clock, QObject *parent = nullptr);

    // A wait already over ends here, before returning.
    void Start(Kind kind, std::int64_t milliseconds);
    void Stop();

signals:
    void over(kestrune::PageWait::Kind kind);

private:
    void Tick();

    const Clock &clock_;
    QTimer timer_;
    std::int64_t end_ = 0;
    Kind kind_ = Kind::Pause;
};

} // namespace kestrune
