#include "startup/helptext.h"

#include "startup/terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <string_view>
#include <vector>

namespace kestrune {

namespace {

constexpr int Indent = 2;
constexpr int Gap = 2;
// Narrower descriptions would be mostly line breaks.
constexpr int MinDescriptionColumns = 16;

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

bool IsWide(char32_t c)
{
    return DisplayColumns(c) == 2;
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
        piece.columns += DisplayColumns(c);
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
        if (end > 0 && used + DisplayColumns(c) > room)
            return IsClosing(c) && lastGood > 0 ? lastGood : end;
        if (end > 0 && !IsClosing(c))
            lastGood = end;
        used += DisplayColumns(c);
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
QList<QCommandLineOption> BuiltInOptions(HelpAll helpAll)
{
    QList<QCommandLineOption> options{HelpOption()};
    if (helpAll == HelpAll::Offered)
        options << QCommandLineOption(
            QStringLiteral("help-all"),
            QCommandLineParser::tr("Displays help including Qt specific options."));
    return options << QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                         QCommandLineParser::tr("Displays version information."));
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

QCommandLineOption HelpOption()
{
    return QCommandLineOption(
        {
#ifdef Q_OS_WIN
            QStringLiteral("?"),
#endif
            QStringLiteral("h"), QStringLiteral("help")},
        QCommandLineParser::tr("Displays help on commandline options."));
}

QString HelpText(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                 int columns, HelpAll helpAll)
{
    QStringList lines{QCommandLineParser::tr("Usage: %1")
                          .arg(QCoreApplication::arguments().constFirst() + QLatin1Char(' ') +
                               QCommandLineParser::tr("[options]"))};
    if (!parser.applicationDescription().isEmpty())
        lines << WrapLines(parser.applicationDescription(), columns);
    lines << QString() << QCommandLineParser::tr("Options:");

    QList<QCommandLineOption> listed = BuiltInOptions(helpAll) + options;
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
