#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace kestrune {

// --help as Qt words it (the parser's -h, --help-all and -v, then `options`),
// laid out in lines of at most `columns` display columns, every description
// starting in one column. Chinese breaks between characters, not before a
// closing sign nor after an opening one; other text at spaces. The usage line
// stays whole: the manual page's maker reads it as one.
QString HelpText(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                 int columns);

} // namespace kestrune
