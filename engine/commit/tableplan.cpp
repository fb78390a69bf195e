#include "engine/commit/tableplan.h"

namespace kestrune {

std::optional<TablePlan> PlanTable(bool on, const QDir &directory,
                                   const std::optional<QString> &continued,
                                   const QString &forumName, std::int64_t startWallMs,
                                   std::int64_t fromRank, std::int64_t toRank)
{
    // A run continued keeps its own table, or its lack of one.
    if (continued ? continued->isEmpty() : !on)
        return std::nullopt;
    const QString path =
        continued ? directory.absoluteFilePath(*continued)
                  : NewTablePath(directory, forumName, QDateTime::fromMSecsSinceEpoch(startWallMs));
    return TablePlan{.path = std::filesystem::path(path.toStdU16String()),
                     .fromRank = fromRank,
                     .toRank = toRank};
}

} // namespace kestrune
