#include "compare/comparisontable.h"

#include "tables/tableformat.h"

#include <string>

namespace kestrune {

namespace {

constexpr std::size_t BlockBytes = 1U << 20U;

TableRow &OptionalNumber(TableRow &row, const std::optional<std::int64_t> &number)
{
    return number ? row.Number(*number) : row.Text({});
}

} // namespace

std::string_view ChangeName(Change change)
{
    switch (change) {
    case Change::New:
        return "新进";
    case Change::Gone:
        return "跌出";
    case Change::Up:
        return "上升";
    case Change::Down:
        return "下降";
    case Change::Same:
        return "不变";
    case Change::Outside:
        return "范围外";
    }
    return {};
}

bool WriteComparisonTable(const Comparison &comparison,
                          const std::function<bool(std::string_view)> &write)
{
    std::string block;
    block.reserve(BlockBytes + 4096);
    block.append(ByteOrderMark).append(ComparisonTableHeader).append(TableLineEnd);
    for (std::size_t index = 0; index < comparison.Size(); ++index) {
        TableRow row;
        row.Text(comparison.Name(index));
        OptionalNumber(row, comparison.OlderRank(index));
        OptionalNumber(row, comparison.NewerRank(index));
        OptionalNumber(row, comparison.RankChange(index));
        row.Text(comparison.OlderLevel(index).value_or(std::string_view()));
        row.Text(comparison.NewerLevel(index).value_or(std::string_view()));
        row.Text(ChangeName(comparison.At(index).change));
        block += row.Finish();
        if (block.size() >= BlockBytes) {
            if (!write(block))
                return false;
            block.clear();
        }
    }
    return write(block);
}

} // namespace kestrune
