#include "ui/dialogs/boxtext.h"

#include <QTextBoundaryFinder>

namespace kestrune {

namespace {

constexpr QChar BreakHere(u'\u200B');   // zero-width space
constexpr QChar NoBreakHere(u'\u2060'); // word joiner
constexpr QChar NoBreakSpace(u'\u00A0');

bool IsSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

bool IsAsciiLetterOrDigit(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// Where a path may begin: a root (/, \\, C:\) not glued to a word before
// it, as "1/3" is.
bool StartsPath(const QString &text, qsizetype at)
{
    if (at > 0 && (IsAsciiLetterOrDigit(text.at(at - 1)) || IsSeparator(text.at(at - 1))))
        return false;
    if (IsSeparator(text.at(at)))
        return true;
    return at + 2 < text.size() && text.at(at).unicode() < 0x80 && text.at(at).isLetter() &&
           text.at(at + 1) == u':' && IsSeparator(text.at(at + 2));
}

// A message's own punctuation ends a path: 保存在 C:\结果。
bool EndsPath(QChar c)
{
    return c.isSpace() || QStringView(u"。，；：！？、）」").contains(c);
}

// Where the path from `start` ends. A space inside one ("Program Files") is
// taken when the words after it go on with a separator.
qsizetype PathEnd(const QString &text, qsizetype start)
{
    qsizetype end = start;
    while (true) {
        while (end < text.size() && !EndsPath(text.at(end)))
            ++end;
        if (end >= text.size() || text.at(end) != u' ')
            return end;
        qsizetype next = end + 1;
        bool separator = false;
        while (next < text.size() && !EndsPath(text.at(next)))
            separator = separator || IsSeparator(text.at(next++));
        if (!separator || next == end + 1 || StartsPath(text, end + 1))
            return end;
        end = next;
    }
}

QString BreakOnlyAfterSeparators(const QString &path)
{
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, path);
    QString out;
    for (qsizetype at = 0; at < path.size(); ++at) {
        if (at > 0) {
            breaks.setPosition(at);
            if (IsSeparator(path.at(at - 1)) && !IsSeparator(path.at(at)))
                out += BreakHere;
            else if (breaks.isAtBoundary())
                out += NoBreakHere;
        }
        out += path.at(at);
    }
    return out;
}

// The spaces either side of a number hold it to its words.
QString KeepNumbersWhole(QString text)
{
    for (qsizetype at = 1; at + 1 < text.size(); ++at) {
        const QChar before = text.at(at - 1);
        const QChar after = text.at(at + 1);
        if (text.at(at) == u' ' && !before.isSpace() && !after.isSpace() &&
            (before.isDigit() || after.isDigit()))
            text[at] = NoBreakSpace;
    }
    return text;
}

} // namespace

QString BoxText(const QString &text)
{
    QString out;
    qsizetype done = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!StartsPath(text, at))
            continue;
        const qsizetype end = PathEnd(text, at);
        out += KeepNumbersWhole(text.mid(done, at - done)) +
               BreakOnlyAfterSeparators(text.mid(at, end - at));
        done = end;
        at = end - 1;
    }
    return out + KeepNumbersWhole(text.mid(done));
}

QString PlainText(QString boxText)
{
    boxText.remove(BreakHere).remove(NoBreakHere);
    return boxText.replace(NoBreakSpace, QLatin1Char(' '));
}

} // namespace kestrune
