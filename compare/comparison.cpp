#include "compare/comparison.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace kestrune {

namespace {

constexpr std::size_t RowsBetweenStops = 1U << 15U;

// A name's rows: the older table's not yet matched, as a chain in order of
// appearance, and how often each table has it.
struct NameEntry
{
    std::string_view name;
    std::uint32_t olderHead = Comparison::Absent;
    std::uint32_t olderTail = Comparison::Absent;
    std::uint32_t olderCount = 0;
    std::uint32_t newerCount = 0;
};

// Every name of both tables once, found by its hash. The entries lie in one
// block and the slots in another, each slot the entry's place beside the top
// half of its name's hash. std::unordered_map, a node apiece, took twice as
// long on two million names, mostly in cache misses and in freeing the nodes.
class NameIndex
{
public:
    explicit NameIndex(std::size_t names)
    {
        entries_.reserve(names);
        slots_.assign(std::bit_ceil(std::max<std::size_t>(names + names / 3, 16)), 0);
    }

    NameEntry &operator[](std::string_view name)
    {
        // Kept at most three quarters full, so that a search soon ends.
        if (4 * (entries_.size() + 1) > 3 * slots_.size())
            Grow();
        const auto top = static_cast<std::uint32_t>(std::hash<std::string_view>{}(name) >> 32U);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = top & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = slots_[at];
            if (slot == 0) {
                entries_.push_back({.name = name});
                slots_[at] = Slot(top, entries_.size());
                return entries_.back();
            }
            if (slot >> 32U == top) {
                NameEntry &entry = entries_[(slot & UINT32_MAX) - 1];
                if (entry.name == name)
                    return entry;
            }
        }
    }

private:
    // The entry's place counts from 1, so that 0 is an empty slot.
    static std::uint64_t Slot(std::uint32_t top, std::size_t place)
    {
        return std::uint64_t{top} << 32U | place;
    }

    void Grow()
    {
        std::vector<std::uint64_t> slots(2 * slots_.size(), 0);
        const std::size_t mask = slots.size() - 1;
        for (const std::uint64_t slot : slots_) {
            if (slot == 0)
                continue;
            std::size_t at = (slot >> 32U) & mask;
            while (slots[at] != 0)
                at = (at + 1) & mask;
            slots[at] = slot;
        }
        slots_ = std::move(slots);
    }

    std::vector<NameEntry> entries_;
    std::vector<std::uint64_t> slots_;
};

Change Matched(std::int64_t olderRank, std::int64_t newerRank)
{
    if (newerRank < olderRank)
        return Change::Up;
    return newerRank > olderRank ? Change::Down : Change::Same;
}

void CountLevels(const ExportTable::Member &older, const ExportTable::Member &newer,
                 ComparisonSummary &summary)
{
    if (!older.level || !newer.level)
        return;
    if (*newer.level > *older.level) {
        ++summary.levelsRose;
        summary.levelsGained += *newer.level - *older.level;
    } else if (*newer.level < *older.level) {
        ++summary.levelsFell;
    }
}

} // namespace

std::string_view Comparison::Name(std::size_t index) const
{
    const Row &row = rows_[index];
    return row.newer != Absent ? newer_->Name(row.newer) : older_->Name(row.older);
}

std::optional<std::int64_t> Comparison::OlderRank(std::size_t index) const
{
    const Row &row = rows_[index];
    return row.older != Absent ? std::optional(older_->At(row.older).rank) : std::nullopt;
}

std::optional<std::int64_t> Comparison::NewerRank(std::size_t index) const
{
    const Row &row = rows_[index];
    return row.newer != Absent ? std::optional(newer_->At(row.newer).rank) : std::nullopt;
}

std::optional<std::int64_t> Comparison::RankChange(std::size_t index) const
{
    const std::optional<std::int64_t> older = OlderRank(index);
    const std::optional<std::int64_t> newer = NewerRank(index);
    return older && newer ? std::optional(*older - *newer) : std::nullopt;
}

std::optional<std::string_view> Comparison::OlderLevel(std::size_t index) const
{
    const Row &row = rows_[index];
    return row.older != Absent ? std::optional(older_->LevelText(row.older)) : std::nullopt;
}

std::optional<std::string_view> Comparison::NewerLevel(std::size_t index) const
{
    const Row &row = rows_[index];
    return row.newer != Absent ? std::optional(newer_->LevelText(row.newer)) : std::nullopt;
}

std::optional<Comparison> Compare(std::shared_ptr<const ExportTable> older,
                                  std::shared_ptr<const ExportTable> newer,
                                  const std::function<bool()> &stop)
{
    const auto stopped = [&stop](std::size_t done) {
        return stop && done % RowsBetweenStops == 0 && stop();
    };
    ComparisonSummary summary;
    NameIndex names(older->Size() + newer->Size() / 8);
    // The next older row of the same name, in order of appearance.
    std::vector<std::uint32_t> nextOfName(older->Size(), Comparison::Absent);
    for (std::uint32_t row = 0; row < older->Size(); ++row) {
        NameEntry &entry = names[older->Name(row)];
        if (entry.olderHead == Comparison::Absent)
            entry.olderHead = row;
        else
            nextOfName[entry.olderTail] = row;
        entry.olderTail = row;
        if (++entry.olderCount == 2)
            ++summary.repeatedNames;
        if (stopped(row + 1))
            return std::nullopt;
    }

    std::vector<Comparison::Row> rows;
    rows.reserve(newer->Size() + older->Size() / 8);
    std::vector<bool> olderMatched(older->Size(), false);
    for (std::uint32_t row = 0; row < newer->Size(); ++row) {
        NameEntry &entry = names[newer->Name(row)];
        if (++entry.newerCount == 2 && entry.olderCount < 2)
            ++summary.repeatedNames;
        const std::int64_t newerRank = newer->At(row).rank;
        if (entry.olderHead == Comparison::Absent) {
            rows.push_back(
                {.newer = row, .change = older->Covers(newerRank) ? Change::New : Change::Outside});
        } else {
            const std::uint32_t match = entry.olderHead;
            entry.olderHead = nextOfName[match];
            olderMatched[match] = true;
            rows.push_back({.older = match,
                            .newer = row,
                            .change = Matched(older->At(match).rank, newerRank)});
            CountLevels(older->At(match), newer->At(row), summary);
        }
        if (stopped(row + 1))
            return std::nullopt;
    }
    for (std::uint32_t row = 0; row < older->Size(); ++row) {
        if (!olderMatched[row])
            rows.push_back(
                {.older = row,
                 .change = newer->Covers(older->At(row).rank) ? Change::Gone : Change::Outside});
    }

    for (const Comparison::Row &row : rows)
        ++summary.counts[static_cast<std::size_t>(row.change)];
    summary.commonFirst = std::max(older->FirstRank(), newer->FirstRank());
    summary.commonLast = std::min(older->LastRank(), newer->LastRank());
    if (older->Size() == 0 || newer->Size() == 0 || summary.commonFirst > summary.commonLast)
        summary.commonFirst = summary.commonLast = 0;
    return Comparison(std::move(older), std::move(newer), std::move(rows), summary);
}

} // namespace kestrune
