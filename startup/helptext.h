#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace kestrune {

// Whether a program has --help-all, which adds Qt's own options: the window
// program's (-platform and the like); kestrune-cli has none worth listing.
enum class HelpAll
{
    Offered, // the parser's addHelpOption()
    Absent,  // HelpOption() instead
};

// -h and --help (and -? on Windows) as addHelpOption() adds them, without
// --help-all.
QCommandLineOption HelpOption();

// --help as Qt words it (the parser's -h, --help-all when offered and -v,
// then `options`), laid out in lines of at most `columns` display columns,
// every description starting in one column. Chinese breaks between
// characters, not before a closing sign nor after an opening one; other text
// at spaces. The usage line stays whole: the manual page's maker reads it as
// one.
QString HelpText(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                 int columns, HelpAll helpAll);

} // namespace kestrune
