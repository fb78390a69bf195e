#pragma once

#include "engine/run/exportfailure.h"
#include "engine/run/timeleft.h"

#include <QObject>

namespace kestrune {

class Clock;
class ExportInputs;
class Exporter;
class StatusBar;

// The status bar's account of a run: the page being fetched, the names
// written, the pages done and the time left. It follows the exporter's
// progress itself; the window tells it when a run starts and ends.
class RunStatus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunStatus)

public:
    // `inputs`' delay is the pause the time left counts in; the clock is the
    // exporter's.
    RunStatus(StatusBar &bar, const Exporter &exporter, const ExportInputs &inputs,
              const Clock &clock);
    ~RunStatus() override;

    // Before a run: the pace of the last one says nothing of this one.
    void NewRun() { pace_ = {}; }
    // The bar keeps the run's last counts until the next run.
    void RunEnded();
    // What a run that began and did not complete left behind.
    void ShowRunEnd(const kestrune::ExportFailure &failure);

private:
    void OnPageStarted(qint64 page);
    void OnPageFinished(qint64 page, qint64 namesWritten);
    void ShowProgress(const QString &state, qint64 page, qint64 pagesDone, qint64 namesWritten);
    void ShowTimeLeft(qint64 pagesDone);
    qint64 Pages() const;
    std::int64_t Pause() const;

    StatusBar &bar_;
    const Exporter &exporter_;
    const ExportInputs &inputs_;
    const Clock &clock_;
    FetchPace pace_; // of the run going
};

} // namespace kestrune
