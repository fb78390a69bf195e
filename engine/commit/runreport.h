#pragma once

#include <QMetaType>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// A page with names, but fewer than a full page's.
struct ShortPage
{
    std::int64_t page = 0;
    std::int64_t names = 0;
    bool operator==(const ShortPage &) const = default;
};

// A name the run wrote more than once: the ranking may have moved while it ran.
struct RepeatedName
{
    std::string name;                  // as the page had it, GBK
    std::vector<std::int64_t> numbers; // as jieguo.txt numbers its lines
    bool operator==(const RepeatedName &) const = default;
};

// What an export's table holds.
struct TableSummary
{
    std::filesystem::path path{};
    std::int64_t fromRank = 0; // the ranks asked, as the boxes read
    std::int64_t toRank = 0;
    std::int64_t rows = 0;             // written by this run
    std::int64_t undecodableNames = 0; // of those rows, names with bytes no character has

    bool operator==(const TableSummary &) const = default;
};

// What a run did, told below "导出完成！". DescribeRunReport makes it words.
struct RunReport
{
    std::int64_t firstEmptyPage = 0; // pages at the range's end without names; 0: none
    std::int64_t lastEmptyPage = 0;
    std::int64_t firstPage = 0; // the range asked for; after lastPage: nothing to fetch
    std::int64_t lastPage = 0;
    std::int64_t pages = 0; // written and gone past; never the page that ended the run
    std::int64_t names = 0;
    std::int64_t milliseconds = 0; // on the run's clock
    // Other than the last page with names; the first MaxListed of them.
    std::vector<ShortPage> shortPages{};
    std::int64_t shortPagesNotListed = 0;
    int retries = 0;
    std::vector<RepeatedName> repeatedNames{}; // the first MaxListed of them
    std::int64_t repeatsNotListed = 0;         // lines
    bool namesForgotten = false;               // too many names to check them all
    std::optional<TableSummary> table{};       // none: the run wrote no table

    static constexpr std::size_t MaxListed = 1000;

    bool operator==(const RunReport &) const = default;
};

} // namespace kestrune

Q_DECLARE_METATYPE(kestrune::RunReport)
