#include "compare/exporttable.h"

#include "tables/tableformat.h"

#include <algorithm>
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
    // Room for as many rows as there are line ends and for the most their
    // names and levels can hold (the text less a rank digit and two commas a
    // row), so that neither block is copied as it fills: room never used is
    // never touched, so never resident. Rows of a large ranking take 18 to 30
    // bytes; one row at most is counted for every 16 bytes, so that a file of
    // bare line ends asks for no more than a real table would.
    const std::string_view rows = text.substr(reader.Position());
    const std::size_t lineEnds =
        static_cast<std::size_t>(std::count(rows.begin(), rows.end(), '\n')) + 1;
    const std::size_t rowRoom = std::min(lineEnds, rows.size() / 16 + 1);
    table.Reserve(rowRoom, rows.size() - std::min(rows.size(), 3 * rowRoom));
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
