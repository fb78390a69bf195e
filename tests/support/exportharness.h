#pragma once

#include "engine/run/exporter.h"
#include "engine/run/exportinputs.h"
#include "platform/clock.h"
#include "tools/sampleforum/sampleforum.h"

#include <QTemporaryDir>

namespace kestrune {

struct RunOutcome
{
    bool finished = false; // false: no outcome within the time allowed
    bool completed = false;
    QString message; // as the user reads it, its detail below
    ExportFailure failure;
    RunReport report;
};

// An exporter in a fresh temporary directory, talking to an in-process sample
// forum on a free loopback port.
struct ExportHarness
{
    explicit ExportHarness(const Clock &clock = SystemClock::Instance());
    QString FilePath(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // Runs an export, waiting on the event loop for completed() or failed().
    RunOutcome Run(int timeoutMs = 20000);

    QTemporaryDir dir;
    SampleForum forum;
    TextInputs inputs{QStringLiteral("Henu"), QStringLiteral("1"), QStringLiteral("60"),
                      QStringLiteral("0")};
    Exporter exporter;
};

} // namespace kestrune
