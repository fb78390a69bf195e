#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringView>
#include <cstdio>

class QCommandLineParser;

namespace kestrune {

// Columns a terminal gives `text`: two for each Chinese character or
// full-width sign, one for anything else.
int DisplayColumns(QStringView text);

// How wide lines written to `stream` may be: the terminal's or console's
// width, else $COLUMNS, else 80.
int TerminalColumns(std::FILE *stream);

// Whether text written to `stream` goes anywhere: a Windows window program
// started from a console or Explorer has no standard output.
bool HasOutput(std::FILE *stream);

// --help as Qt words it (the parser's -h, --help-all and -v, then `options`),
// laid out in lines of at most `columns` display columns, every description
// starting in one column. Chinese breaks between characters, not before a
// closing sign nor after an opening one; other text at spaces. The usage line
// stays whole: the manual page's maker reads it as one.
QString HelpText(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                 int columns);

} // namespace kestrune
