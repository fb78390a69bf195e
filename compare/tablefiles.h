#pragma once

#include "compare/comparison.h"
#include "compare/exporttable.h"
#include "platform/usermessage.h"

#include <QString>
#include <memory>
#include <optional>

namespace kestrune {

// Larger tables are refused: eight million members, well past any forum's
// ranking, and still within what a desktop's memory holds twice.
inline constexpr std::int64_t MaxTableBytes = std::int64_t{256} << 20;

// An export's table read from a file: the table, or why it cannot be
// compared, or neither when `progress` stopped it.
struct TableLoad
{
    std::shared_ptr<const ExportTable> table{};
    std::optional<UserMessage> problem{};
};

TableLoad LoadExportTable(const QString &path, const ReadProgress &progress = {});

// Writes the comparison as a table to `path`, whole or not at all. An
// export's table there is never overwritten, nor a link or other non-file.
std::optional<UserMessage> SaveComparisonTable(const QString &path, const Comparison &comparison);

} // namespace kestrune
