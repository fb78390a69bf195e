#include "platform/consoleoutput.h"

#include <QStringList>

#ifdef Q_OS_WIN
#include <io.h>
#include <qt_windows.h>
#else
#include <unistd.h>
#endif

namespace kestrune {

namespace {

#ifdef Q_OS_WIN
// True when the text went to a console; a redirected handle has no console mode.
bool WriteToConsole(std::FILE *stream, const QString &text)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;
    std::fflush(stream);
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    auto left = static_cast<DWORD>(text.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide, left, &written, nullptr) || written == 0)
            return true;
        wide += written;
        left -= written;
    }
    return true;
}
#endif

} // namespace

void PrintLine(std::FILE *stream, const QString &line)
{
    PrintText(stream, line + QLatin1Char('\n'));
}

void PrintText(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (WriteToConsole(stream, text))
        return;
#endif
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void PrintMessage(std::FILE *stream, const UserMessage &message)
{
    QString text = message.text;
    for (const QString &line : message.detail.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += QStringLiteral("\n  ") + line;
    PrintLine(stream, text);
}

bool IsConsole(std::FILE *stream)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
#else
    return isatty(fileno(stream)) == 1;
#endif
}

} // namespace kestrune
