#include "compare/comparisonorder.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kestrune {

namespace {

// Sorted as plain numbers, so that sorting compares no more than that.
struct NumberKey
{
    std::uint64_t value; // UINT64_MAX and missing: last
    bool missing;
    std::uint32_t row;
};

// The name's first eight bytes, most significant first, decide most
// comparisons without touching the names themselves.
struct NameKey
{
    std::uint64_t prefix;
    std::uint32_t row;
};

std::uint64_t Prefix(std::string_view name)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < sizeof prefix; ++i)
        prefix = (prefix << 8U) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0U);
    return prefix;
}

std::optional<std::int64_t> NumberOf(const Comparison &comparison, RowOrder order,
                                     std::uint32_t row)
{
    switch (order) {
    case RowOrder::OlderRank:
        return comparison.OlderRank(row);
    case RowOrder::NewerRank:
        return comparison.NewerRank(row);
    case RowOrder::Change: {
        const std::optional<std::int64_t> change = comparison.RankChange(row);
        return change ? std::optional(-*change) : std::nullopt;
    }
    case RowOrder::OlderLevel:
    case RowOrder::NewerLevel: {
        const bool older = order == RowOrder::OlderLevel;
        const std::uint32_t at = older ? comparison.At(row).older : comparison.At(row).newer;
        if (at == Comparison::Absent)
            return std::nullopt;
        return (older ? comparison.Older() : comparison.Newer()).At(at).level;
    }
    case RowOrder::Name:
        break;
    }
    return std::nullopt;
}

std::vector<std::uint32_t> ByNumber(const Comparison &comparison, RowOrder order, bool descending)
{
    std::vector<NumberKey> keys(comparison.Size());
    for (std::uint32_t row = 0; row < keys.size(); ++row) {
        const std::optional<std::int64_t> number = NumberOf(comparison, order, row);
        // Offset so that unsigned order is signed order; inverted to descend.
        const std::uint64_t value =
            number ? static_cast<std::uint64_t>(*number) ^ (std::uint64_t{1} << 63U) : 0;
        keys[row] = {.value = descending ? ~value : value, .missing = !number, .row = row};
    }
    std::ranges::sort(keys, [](const NumberKey &a, const NumberKey &b) {
        return std::tie(a.missing, a.value, a.row) < std::tie(b.missing, b.value, b.row);
    });
    std::vector<std::uint32_t> rows(keys.size());
    std::ranges::transform(keys, rows.begin(), &NumberKey::row);
    return rows;
}

std::vector<std::uint32_t> ByName(const Comparison &comparison, bool descending)
{
    std::vector<NameKey> keys(comparison.Size());
    for (std::uint32_t row = 0; row < keys.size(); ++row)
        keys[row] = {.prefix = Prefix(comparison.Name(row)), .row = row};
    std::ranges::sort(keys, [&comparison, descending](const NameKey &a, const NameKey &b) {
        int order = a.prefix == b.prefix ? comparison.Name(a.row).compare(comparison.Name(b.row))
                                         : (a.prefix < b.prefix ? -1 : 1);
        if (descending)
            order = -order;
        return order != 0 ? order < 0 : a.row < b.row;
    });
    std::vector<std::uint32_t> rows(keys.size());
    std::ranges::transform(keys, rows.begin(), &NameKey::row);
    return rows;
}

} // namespace

std::vector<std::uint32_t> OrderedRows(const Comparison &comparison, RowOrder order,
                                       bool descending)
{
    return order == RowOrder::Name ? ByName(comparison, descending)
                                   : ByNumber(comparison, order, descending);
}

} // namespace kestrune
