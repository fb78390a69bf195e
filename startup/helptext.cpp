#include "startup/helptext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <string_view>
#include <vector>

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
constexpr int Indent = 2;
constexpr int Gap = 2;
// Narrower descriptions would be mostly line breaks.
constexpr int MinDescriptionColumns = 16;

// East Asian wide and full-width characters. The dash, ellipsis and curly
// quotes are counted wide too, as a Chinese terminal draws them.
bool IsWide(char32_t c)
{
    constexpr std::pair<char32_t, char32_t> wide[] = {
        {0x1100, 0x115F},   {0x2014, 0x2014}, {0x2018, 0x2019}, {0x201C, 0x201D},
        {0x2026, 0x2026},   {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x2FFFD},
        {0x30000, 0x3FFFD},
    };
    return std::ranges::any_of(
        wide, [c](const auto &range) { return c >= range.first && c <= range.second; });
}

int Columns(char32_t c)
{
    return IsWide(c) ? 2 : 1;
}

// Signs a Chinese line never starts with, and those it never ends with.
constexpr std::u32string_view Closing = U"，。、：；！？）》」』】〉”’…";
constexpr std::u32string_view Opening = U"（《「『【〈“‘";

bool IsClosing(char32_t c)
{
    return Closing.find(c) != std::u32string_view::npos;
}

bool IsOpening(char32_t c)
{
    return Opening.find(c) != std::u32string_view::npos;
}

// Between two Chinese characters, after a closing sign or before an opening
// one; a space is a break of its own.
bool MayBreakBetween(char32_t before, char32_t after)
{
    if (IsClosing(after) || IsOpening(before))
        return false;
    return (IsWide(before) && IsWide(after)) || IsClosing(before) || IsOpening(after);
}

char32_t CodePointAt(QStringView text, qsizetype index)
{
    const QChar c = text[index];
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[index + 1]);
    return c.unicode();
}

// Text between two places a line may break, and whether a space stood there.
struct Piece
{
    QStringView text;
    int columns = 0;
    bool afterSpace = false;
};

std::vector<Piece> Pieces(QStringView text)
{
    std::vector<Piece> pieces;
    qsizetype start = -1;
    Piece piece;
    const auto finish = [&](qsizetype end) {
        if (start < 0)
            return;
        piece.text = text.sliced(start, end - start);
        pieces.push_back(piece);
        piece = {};
        start = -1;
    };
    char32_t previous = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = CodePointAt(text, i);
        if (c == U' ') {
            finish(i);
            piece.afterSpace = true;
            ++i;
            continue;
        }
        if (start >= 0 && MayBreakBetween(previous, c))
            finish(i);
        if (start < 0)
            start = i;
        piece.columns += Columns(c);
        previous = c;
        i += c > 0xFFFF ? 2 : 1;
    }
    finish(text.size());
    return pieces;
}

// How much of `text` fills `room` columns without leaving a closing sign to
// start the next line; at least one character, so that the text shrinks.
qsizetype Cut(QStringView text, int room)
{
    qsizetype end = 0;
    qsizetype lastGood = 0;
    int used = 0;
    while (end < text.size()) {
        const char32_t c = CodePointAt(text, end);
        if (end > 0 && used + Columns(c) > room)
            return IsClosing(c) && lastGood > 0 ? lastGood : end;
        if (end > 0 && !IsClosing(c))
            lastGood = end;
        used += Columns(c);
        end += c > 0xFFFF ? 2 : 1;
    }
    return end;
}

// One line of text as lines of at most `columns`; a piece wider than a
// whole line is cut where the line ends.
QStringList Wrap(QStringView text, int columns)
{
    QStringList lines;
    QString line;
    int used = 0;
    for (const Piece &piece : Pieces(text)) {
        int gap = !line.isEmpty() && piece.afterSpace ? 1 : 0;
        if (!line.isEmpty() && used + gap + piece.columns > columns) {
            lines << line;
            line.clear();
            used = 0;
            gap = 0;
        }
        if (gap > 0)
            line += QLatin1Char(' ');
        QStringView rest = piece.text;
        while (used + gap + DisplayColumns(rest) > columns) {
            const qsizetype cut = Cut(rest, columns);
            lines << rest.first(cut).toString();
            rest = rest.sliced(cut);
        }
        line += rest;
        used += gap + DisplayColumns(rest);
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

QStringList WrapLines(const QString &text, int columns)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines << Wrap(line, columns);
    return lines;
}

// What addHelpOption and addVersionOption add, in Qt's words and so in its
// translation: the parser does not hand its options out.
QList<QCommandLineOption> BuiltInOptions()
{
    return {
        QCommandLineOption(
            {
#ifdef Q_OS_WIN
                QStringLiteral("?"),
#endif
                QStringLiteral("h"), QStringLiteral("help")},
            QCommandLineParser::tr("Displays help on commandline options.")),
        QCommandLineOption(QStringLiteral("help-all"),
                           QCommandLineParser::tr("Displays help including Qt specific options.")),
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QCommandLineParser::tr("Displays version information.")),
    };
}

QString NamesOf(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <%1>").arg(option.valueName());
    return text;
}

} // namespace

int DisplayColumns(QStringView text)
{
    int columns = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = CodePointAt(text, i);
        columns += Columns(c);
        i += c > 0xFFFF ? 2 : 1;
    }
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

QString HelpText(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                 int columns)
{
    QStringList lines{QCommandLineParser::tr("Usage: %1")
                          .arg(QCoreApplication::arguments().constFirst() + QLatin1Char(' ') +
                               QCommandLineParser::tr("[options]"))};
    if (!parser.applicationDescription().isEmpty())
        lines << WrapLines(parser.applicationDescription(), columns);
    lines << QString() << QCommandLineParser::tr("Options:");

    QList<QCommandLineOption> listed = BuiltInOptions() + options;
    listed.removeIf([](const QCommandLineOption &option) {
        return option.flags().testFlag(QCommandLineOption::HiddenFromHelp);
    });
    int namesColumns = 0;
    for (const QCommandLineOption &option : listed)
        namesColumns = std::max(namesColumns, DisplayColumns(NamesOf(option)));
    // Long names leave the descriptions at least half the line; such a name
    // has a line of its own.
    namesColumns = std::clamp(columns / 2 - Indent - Gap, 0, namesColumns);
    const int descriptionColumn = Indent + namesColumns + Gap;
    const QString indent(descriptionColumn, QLatin1Char(' '));
    for (const QCommandLineOption &option : listed) {
        const QString names = QString(Indent, QLatin1Char(' ')) + NamesOf(option);
        QStringList description = WrapLines(
            option.description(), std::max(columns - descriptionColumn, MinDescriptionColumns));
        if (DisplayColumns(names) > Indent + namesColumns || description.constFirst().isEmpty()) {
            lines << names;
        } else {
            lines << names + QString(descriptionColumn - DisplayColumns(names), QLatin1Char(' ')) +
                         description.takeFirst();
        }
        for (const QString &line : description) {
            if (!line.isEmpty())
                lines << indent + line;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrune
