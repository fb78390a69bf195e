#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace kestrune {

struct ProgramResult
{
    int exitCode = -1; // -1: it did not end in time
    QString out;
    QString err;
};

// Runs a program (kestrune-cli, or a shell) in `directory` to its end,
// waiting on the event loop so that servers on this thread keep answering.
// What a run stores goes under configHome; whileRunning acts on it mid-run.
ProgramResult RunProgram(const QString &program, const QStringList &arguments,
                         const QString &directory, const QString &configHome,
                         const std::function<void(QProcess &)> &whileRunning = {});

} // namespace kestrune
