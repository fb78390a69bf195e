#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace kestrune {

// kestrune-cli --compare OLDER NEWER [--table OUT]: the summary on stdout,
// the comparison's table when asked; nothing fetched. The exit status: 0
// done, 1 a table that cannot be read or written, 2 a wrong command.
int CompareTables(const QCommandLineParser &parser, const QCommandLineOption &table);

} // namespace kestrune
