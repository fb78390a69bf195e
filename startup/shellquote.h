#pragma once

#include <QStringList>

namespace kestrune {

enum class Shell
{
    Posix,   // sh and its kin
    Windows, // the C runtime's argument rules, as cmd.exe hands them on
};

// One command line that gives back exactly these words when pasted into the
// shell.
QString QuoteCommandLine(const QStringList &words, Shell shell);

#ifdef Q_OS_WIN
inline constexpr Shell NativeShell = Shell::Windows;
#else
inline constexpr Shell NativeShell = Shell::Posix;
#endif

} // namespace kestrune
