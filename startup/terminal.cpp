#include "startup/terminal.h"

#include <QList>
#include <QtGlobal>
#include <algorithm>
#include <utility>

#ifdef Q_OS_WIN
#include <io.h>
#include <qt_windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kestrune {

namespace {

constexpr int DefaultColumns = 80;

} // namespace

int DisplayColumns(char32_t c)
{
    // East Asian wide and full-width characters. The dash, ellipsis and curly
    // quotes are counted wide too, as a Chinese terminal draws them.
    constexpr std::pair<char32_t, char32_t> wide[] = {
        {0x1100, 0x115F},   {0x2014, 0x2014}, {0x2018, 0x2019}, {0x201C, 0x201D},
        {0x2026, 0x2026},   {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x2FFFD},
        {0x30000, 0x3FFFD},
    };
    return std::ranges::any_of(
               wide, [c](const auto &range) { return c >= range.first && c <= range.second; })
               ? 2
               : 1;
}

int DisplayColumns(QStringView text)
{
    int columns = 0;
    for (const char32_t c : text.toUcs4())
        columns += DisplayColumns(c);
    return columns;
}

int TerminalColumns(std::FILE *stream)
{
#ifdef Q_OS_WIN
    CONSOLE_SCREEN_BUFFER_INFO info;
    const int descriptor = _fileno(stream);
    if (descriptor >= 0 &&
        GetConsoleScreenBufferInfo(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)), &info))
        // A full line would move the cursor on by itself and leave an empty
        // line after it.
        return info.srWindow.Right - info.srWindow.Left;
#else
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
#endif
    bool isNumber = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &isNumber);
    return isNumber && columns > 0 ? columns : DefaultColumns;
}

bool HasOutput(std::FILE *stream)
{
#ifdef Q_OS_WIN
    const int descriptor = _fileno(stream);
    if (descriptor < 0)
        return false;
    const intptr_t handle = _get_osfhandle(descriptor);
    return handle != -1 && handle != -2 && handle != 0;
#else
    return stream != nullptr;
#endif
}

} // namespace kestrune
