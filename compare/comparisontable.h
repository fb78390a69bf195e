#pragma once

#include "compare/comparison.h"

#include <functional>
#include <string_view>

namespace kestrune {

// The first line of a comparison's table, after the byte-order mark.
inline constexpr std::string_view ComparisonTableHeader =
    "会员名,旧名次,新名次,变化,旧等级,新等级,类别";

// The word for a change, as the table and the window write it.
std::string_view ChangeName(Change change);

// The comparison as a table in the export's format, handed to `write` a
// block at a time so that a million rows never sit in memory twice; stops
// when `write` returns false, and returns whether all was written.
bool WriteComparisonTable(const Comparison &comparison,
                          const std::function<bool(std::string_view)> &write);

} // namespace kestrune
