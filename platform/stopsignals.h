#pragma once

#include <QObject>

class QSocketNotifier;

namespace kestrune {

// Turns the requests that end a console program (SIGINT, SIGTERM, SIGHUP;
// on Windows Ctrl+C, Ctrl+Break and closing the console) into a signal on
// the event loop, so a run can stop the way the window's 停止 does: its open
// line closed, its resume rank told. One instance at a time.
class StopSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopSignals)

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // Tells a Windows console that is closing that the stop path has run;
    // it ends the process once the handler returns. No-op elsewhere.
    void StopHandled();

signals:
    // `signalNumber` as a shell counts it: the exit status is 128 + it.
    void stopRequested(int signalNumber);

private:
    void OnWakeUp();

    QSocketNotifier *notifier_ = nullptr;
};

} // namespace kestrune
