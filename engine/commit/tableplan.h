#pragma once

#include "engine/commit/resultfiles.h"
#include "tables/tablenames.h"

#include <QDateTime>
#include <QDir>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrune {

// The run's table: `continued` (relative to `directory`) when given, else a
// new one named after the forum and the run's start when tables are `on`;
// none when the run continued had none (`continued` empty).
std::optional<TablePlan> PlanTable(bool on, const QDir &directory,
                                   const std::optional<QString> &continued,
                                   const QString &forumName, std::int64_t startWallMs,
                                   std::int64_t fromRank, std::int64_t toRank);

} // namespace kestrune
