#pragma once

#include "engine/run/resultfiles.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// An export's own table: <forum>_<YYYYMMDD-HHMMSS>.csv from the run's start
// in local time, with what a Windows file name cannot hold made "_".
QString TableFileName(const QString &forumName, const QDateTime &start);

// That name in `directory`, or with _2, _3… when a file has it already, so
// that two exports never share a table.
QString NewTablePath(const QDir &directory, const QString &forumName, const QDateTime &start);

// The run's table: `continued` (relative to `directory`) when given, else a
// new one named after the forum and the run's start when tables are `on`;
// none when the run continued had none (`continued` empty).
std::optional<TablePlan> PlanTable(bool on, const QDir &directory,
                                   const std::optional<QString> &continued,
                                   const QString &forumName, std::int64_t startWallMs,
                                   std::int64_t fromRank, std::int64_t toRank);

} // namespace kestrune
