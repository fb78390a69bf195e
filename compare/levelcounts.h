#pragma once

#include "compare/exporttable.h"

#include <cstdint>
#include <vector>

namespace kestrune {

// How many members of each export hold a level: one bar pair of the chart.
struct LevelCount
{
    std::int64_t level = 0;
    std::int64_t older = 0;
    std::int64_t newer = 0;

    friend bool operator==(const LevelCount &, const LevelCount &) = default;
};

// Levels that are whole numbers, lowest first. Beyond `maxLevels` distinct
// levels only the most common are kept, so that a table of odd values
// still makes a chart one can read.
std::vector<LevelCount> CountLevels(const ExportTable &older, const ExportTable &newer,
                                    std::size_t maxLevels = 40);

} // namespace kestrune
