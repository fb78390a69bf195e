#include "tests/support/runprogram.h"

#include <QSignalSpy>

namespace kestrune {

namespace {

// A pipe gets UTF-8 on Linux; on Windows the ANSI code page, with CR LF.
QString PipeText(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#else
    return QString::fromUtf8(bytes);
#endif
}

} // namespace

ProgramResult RunProgram(const QString &program, const QStringList &arguments,
                         const QString &directory, const QString &configHome,
                         const std::function<void(QProcess &)> &whileRunning)
{
    QProcess process;
    process.setWorkingDirectory(directory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    // No display: nothing run here opens a window.
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
#ifndef Q_OS_WIN
    // Not a Chinese system: our texts and Qt's must be Chinese regardless.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
#endif
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (whileRunning)
        whileRunning(process);
    if (finished.isEmpty() && !finished.wait(30000))
        return {};
    return {process.exitCode(), PipeText(process.readAllStandardOutput()),
            PipeText(process.readAllStandardError())};
}

} // namespace kestrune
