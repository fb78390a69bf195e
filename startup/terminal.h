#pragma once

#include <QStringView>
#include <cstdio>

namespace kestrune {

// Columns a terminal gives `c`: two for a Chinese character or full-width
// sign, one for anything else.
int DisplayColumns(char32_t c);
int DisplayColumns(QStringView text);

// How wide lines written to `stream` may be: the terminal's or console's
// width, else $COLUMNS, else 80.
int TerminalColumns(std::FILE *stream);

// Whether text written to `stream` goes anywhere: a Windows window program
// started from a console or Explorer has no standard output.
bool HasOutput(std::FILE *stream);

} // namespace kestrune
