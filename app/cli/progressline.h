#pragma once

#include "engine/run/timeleft.h"

#include <QObject>
#include <cstdio>

namespace kestrune {

class Clock;
class ExportInputs;
class Exporter;

// The run's progress on stderr: on a terminal one line redrawn in place with
// a text bar and the time left; to a file or pipe one line a page. The time
// left is measured on `clock`.
class ProgressLine final
{
public:
    ProgressLine(Exporter &exporter, const ExportInputs &inputs, std::FILE *stream,
                 const Clock &clock);
    Q_DISABLE_COPY_MOVE(ProgressLine)
    ~ProgressLine() = default;

    // Ends a line drawn in place, so what is printed next starts below it.
    void End();

private:
    void Show(qint64 page, qint64 namesWritten);

    const Exporter &exporter_;
    const ExportInputs &inputs_;
    std::FILE *stream_;
    const Clock &clock_;
    bool console_;
    int columns_ = 0; // of the line drawn in place; 0: none open
    qint64 drawnAtMs_ = 0;
    FetchPace pace_;
    QObject context_; // ends the connections with this object
};

} // namespace kestrune
