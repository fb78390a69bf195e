#include "startup/shellquote.h"

namespace kestrune {

namespace {

bool IsPlain(const QString &word, QStringView alsoPlain)
{
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), [alsoPlain](QChar c) {
        return (c.unicode() < 0x80 && c.isLetterOrNumber()) || alsoPlain.contains(c);
    });
}

QString QuotePosix(const QString &word)
{
    if (IsPlain(word, u"_-.,:/=+@%"))
        return word;
    // Inside single quotes nothing is special but the quote itself.
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString QuoteWindows(const QString &word)
{
    if (IsPlain(word, u"_-.,:/\\=+@"))
        return word;
    // Backslashes are literal unless a quote follows them; then each one
    // needs a partner, as do those before the closing quote.
    QString quoted = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : word) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted += QString(backslashes * 2 + 1, QLatin1Char('\\'));
        else
            quoted += QString(backslashes, QLatin1Char('\\'));
        backslashes = 0;
        quoted += c;
    }
    quoted += QString(backslashes * 2, QLatin1Char('\\'));
    return quoted + QLatin1Char('"');
}

} // namespace

QString QuoteCommandLine(const QStringList &words, Shell shell)
{
    QStringList quoted;
    quoted.reserve(words.size());
    for (const QString &word : words)
        quoted << (shell == Shell::Posix ? QuotePosix(word) : QuoteWindows(word));
    return quoted.join(QLatin1Char(' '));
}

} // namespace kestrune
