#pragma once

#include "exporter.h"
#include "exportinputs.h"
#include "platform/clock.h"
#include "sampleforum.h"

#include <QTemporaryDir>

namespace kestrune {

// Box texts a test can change while a run goes on.
struct EditableInputs final : ExportInputs
{
    QString forumName = QStringLiteral("Henu");
    QString fromRank = QStringLiteral("1");
    QString toRank = QStringLiteral("60");
    QString delay = QStringLiteral("0");
    QString ForumName() const override { return forumName; }
    QString FromRank() const override { return fromRank; }
    QString ToRank() const override { return toRank; }
    QString Delay() const override { return delay; }
};

struct RunOutcome
{
    bool finished = false; // false: no outcome within the time allowed
    bool completed = false;
    QString message; // as the user reads it
    ExportFailure failure;
};

// Waits on the event loop until the exporter reports completed() or failed().
RunOutcome WaitForOutcome(Exporter &exporter, int timeoutMs = 20000);

// An exporter in a fresh temporary directory, talking to an in-process sample
// forum on a free loopback port.
struct ExportHarness
{
    explicit ExportHarness(const Clock &clock = SystemClock::Instance());
    QString FilePath(const char *name) const { return dir.filePath(QLatin1String(name)); }
    RunOutcome Run(int timeoutMs = 20000);

    QTemporaryDir dir;
    SampleForum forum;
    EditableInputs inputs;
    Exporter exporter;
};

} // namespace kestrune
