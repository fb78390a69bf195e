#pragma once

#include "tables/tablereader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrune {

// An export's table held for comparing: every row's rank, name and level,
// the texts kept together in one block so that a million rows stay compact.
class ExportTable
{
public:
    struct Member
    {
        std::int64_t rank = 0;
        std::uint32_t nameStart = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t levelStart = 0;
        std::uint32_t levelLength = 0;
        std::optional<std::int64_t> level; // when the level is a whole number
    };

    std::size_t Size() const { return members_.size(); }
    const Member &At(std::size_t index) const { return members_[index]; }
    std::string_view Name(std::size_t index) const;
    // The level as the table has it, number or not.
    std::string_view LevelText(std::size_t index) const;
    // The smallest and largest rank; 0 when the table has no rows.
    std::int64_t FirstRank() const { return firstRank_; }
    std::int64_t LastRank() const { return lastRank_; }
    bool Covers(std::int64_t rank) const { return rank >= firstRank_ && rank <= lastRank_; }

    void Add(std::int64_t rank, std::string_view name, std::string_view level);
    void Reserve(std::size_t rows, std::size_t textBytes);

private:
    std::string text_;
    std::vector<Member> members_;
    std::int64_t firstRank_ = 0;
    std::int64_t lastRank_ = 0;
};

// Told how far through the text reading is, in bytes; returns false to stop.
using ReadProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct ReadStopped
{};

using TableReading = std::variant<ExportTable, TableProblem, ReadStopped>;

// Reads an export's table out of a file's whole text: the header, then a
// whole-number rank of at least 1 in every row.
TableReading ReadExportTable(std::string_view text, const ReadProgress &progress = {});

} // namespace kestrune
