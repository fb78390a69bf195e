#pragma once

#include "compare/exporttable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrune {

// What became of a member between an older and a newer export.
enum class Change : std::uint8_t
{
    New,     // in the newer table only
    Gone,    // in the older table only
    Up,      // a smaller rank now
    Down,    // a larger rank now
    Same,    // the same rank
    Outside, // in one table only, at a rank the other did not export
};
inline constexpr std::size_t ChangeCount = 6;

struct ComparisonSummary
{
    std::array<std::int64_t, ChangeCount> counts{};
    // Members in both tables whose level is a whole number in each.
    std::int64_t levelsRose = 0;
    std::int64_t levelsGained = 0; // summed over those who rose
    std::int64_t levelsFell = 0;
    // Names found more than once in either table.
    std::int64_t repeatedNames = 0;
    // The ranks both tables cover; empty when they share none.
    std::int64_t commonFirst = 0;
    std::int64_t commonLast = 0;

    std::int64_t Count(Change change) const { return counts[static_cast<std::size_t>(change)]; }
};

// Two exports matched by name, a row for each member of either.
class Comparison
{
public:
    static constexpr std::uint32_t Absent = UINT32_MAX;

    struct Row
    {
        std::uint32_t older = Absent; // the member's row in each table
        std::uint32_t newer = Absent;
        Change change = Change::Same;
    };

    Comparison(std::shared_ptr<const ExportTable> older, std::shared_ptr<const ExportTable> newer,
               std::vector<Row> rows, ComparisonSummary summary)
        : older_(std::move(older))
        , newer_(std::move(newer))
        , rows_(std::move(rows))
        , summary_(summary)
    {}

    std::size_t Size() const { return rows_.size(); }
    const Row &At(std::size_t index) const { return rows_[index]; }
    const ComparisonSummary &Summary() const { return summary_; }
    const ExportTable &Older() const { return *older_; }
    const ExportTable &Newer() const { return *newer_; }

    std::string_view Name(std::size_t index) const;
    std::optional<std::int64_t> OlderRank(std::size_t index) const;
    std::optional<std::int64_t> NewerRank(std::size_t index) const;
    // Older rank minus newer: positive for a member who climbed.
    std::optional<std::int64_t> RankChange(std::size_t index) const;
    std::optional<std::string_view> OlderLevel(std::size_t index) const;
    std::optional<std::string_view> NewerLevel(std::size_t index) const;

private:
    std::shared_ptr<const ExportTable> older_;
    std::shared_ptr<const ExportTable> newer_;
    std::vector<Row> rows_;
    ComparisonSummary summary_;
};

// Members matched by name; a name found more than once in a table is matched
// in order of appearance, first with first. Rows come in the newer table's
// order, then the older's members who are not in it. `stop` is asked now and
// then whether to give up, which returns nothing.
std::optional<Comparison> Compare(std::shared_ptr<const ExportTable> older,
                                  std::shared_ptr<const ExportTable> newer,
                                  const std::function<bool()> &stop = {});

} // namespace kestrune
