#pragma once

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrune {

// An export's own table: <forum>_<YYYYMMDD-HHMMSS>.csv from the run's start
// in local time, with what a Windows file name cannot hold made "_".
QString TableFileName(const QString &forumName, const QDateTime &start);

// That name in `directory`, or with _2, _3… when a file has it already, so
// that two exports never share a table.
QString NewTablePath(const QDir &directory, const QString &forumName, const QDateTime &start);

// The forum part of such a file name, as the name holds it ("_" for what a
// file name cannot hold); nothing for a name of another kind.
std::optional<QString> ForumOfTableFile(const QString &fileName);

// The tables of `forumName` in `directory`, oldest first by the time in
// their names.
QStringList ForumTables(const QDir &directory, const QString &forumName);

} // namespace kestrune
