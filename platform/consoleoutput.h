#pragma once

#include "platform/usermessage.h"

#include <QString>
#include <cstdio>

namespace kestrune {

// Writes `line` and a line break to stdout or stderr and flushes it. A Windows
// console gets the text as UTF-16, readable whatever its code page; a file or
// pipe gets it in the system's code page (the ANSI code page on Windows).
void PrintLine(std::FILE *stream, const QString &line);
// The same without the line break, for a line redrawn in place.
void PrintText(std::FILE *stream, const QString &text);
// The message, then its detail indented below it.
void PrintMessage(std::FILE *stream, const UserMessage &message);
// A terminal, or a console on Windows, rather than a file or pipe.
bool IsConsole(std::FILE *stream);

} // namespace kestrune
