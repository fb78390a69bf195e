#include "compare/exporttable.h"

#include "tables/tableformat.h"

#include <charconv>
#include <limits>

namespace kestrune {

namespace {

// Rows between two reports of progress: often enough for a bar and a quick
// stop, rarely enough to cost nothing.
constexpr std::size_t RowsPerReport = 1U << 15U;

std::optional<std::int64_t> WholeNumber(std::string_view text)
{
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace

std::string_view ExportTable::Name(std::size_t index) const
{
    const Member &member = members_[index];
    return std::string_view(text_).substr(member.nameStart, member.nameLength);
}

std::string_view ExportTable::LevelText(std::size_t index) const
{
    const Member &member = members_[index];
    return std::string_view(text_).substr(member.levelStart, member.levelLength);
}

void ExportTable::Reserve(std::size_t rows, std::size_t textBytes)
{
    members_.reserve(rows);
    text_.reserve(textBytes);
}

void ExportTable::Add(std::int64_t rank, std::string_view name, std::string_view level)
{
    const auto at = static_cast<std::uint32_t>(text_.size());
    text_.append(name).append(level);
    members_.push_back({.rank = rank,
                        .nameStart = at,
                        .nameLength = static_cast<std::uint32_t>(name.size()),
                        .levelStart = static_cast<std::uint32_t>(at + name.size()),
                        .levelLength = static_cast<std::uint32_t>(level.size()),
                        .level = WholeNumber(level)});
    if (members_.size() == 1 || rank < firstRank_)
        firstRank_ = rank;
    if (members_.size() == 1 || rank > lastRank_)
        lastRank_ = rank;
}

TableReading ReadExportTable(std::string_view text, const ReadProgress &progress)
{
    // Names and levels live in one block addressed by 32-bit offsets.
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        return TableProblem{.kind = TableProblem::Kind::TooLarge};
    TableReader reader(text);
    if (const std::optional<TableProblem> problem = reader.ReadHeader(ExportTableHeader))
        return *problem;
    ExportTable table;
    // A row of a generated table takes about 30 bytes; reserving for that
    // saves most of the regrowth without holding much that goes unused.
    table.Reserve(text.size() / 32, text.size() / 2);
    std::vector<std::string> fields;
    for (std::size_t row = 1; reader.Next(fields); ++row) {
        const std::optional<std::int64_t> rank = WholeNumber(fields[0]);
        if (!rank || *rank < 1)
            return TableProblem{
                .kind = TableProblem::Kind::NotANumber, .line = reader.Line(), .column = 1};
        table.Add(*rank, fields[1], fields[2]);
        if (progress && row % RowsPerReport == 0 && !progress(reader.Position(), text.size()))
            return ReadStopped{};
    }
    if (reader.Problem())
        return *reader.Problem();
    return table;
}

} // namespace kestrune
