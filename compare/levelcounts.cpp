#include "compare/levelcounts.h"

#include <algorithm>
#include <map>

namespace kestrune {

std::vector<LevelCount> CountLevels(const ExportTable &older, const ExportTable &newer,
                                    std::size_t maxLevels)
{
    std::map<std::int64_t, LevelCount> byLevel;
    const auto count = [&byLevel](const ExportTable &table, std::int64_t LevelCount::*side) {
        for (std::size_t row = 0; row < table.Size(); ++row) {
            if (const std::optional<std::int64_t> level = table.At(row).level) {
                LevelCount &bar = byLevel[*level];
                bar.level = *level;
                ++(bar.*side);
            }
        }
    };
    count(older, &LevelCount::older);
    count(newer, &LevelCount::newer);
    std::vector<LevelCount> bars;
    bars.reserve(byLevel.size());
    for (const auto &[level, bar] : byLevel)
        bars.push_back(bar);
    if (bars.size() > maxLevels) {
        std::ranges::nth_element(bars, bars.begin() + static_cast<std::ptrdiff_t>(maxLevels),
                                 [](const LevelCount &a, const LevelCount &b) {
                                     return a.older + a.newer > b.older + b.newer;
                                 });
        bars.resize(maxLevels);
        std::ranges::sort(bars, {}, &LevelCount::level);
    }
    return bars;
}

} // namespace kestrune
