#pragma once

#include <cstddef>
#include <string>

namespace kestrune {

// Two exports' tables of one made-up forum, some time apart, as the table
// writer writes them: `members` rows each; names of 2 to 12 characters,
// Chinese, ASCII or both, a few repeated, a few quoted or behind the formula
// guard; levels 1 to 18. The newer one has about 2 % new members and 2 % gone,
// most moved a little, some not at all, a few a level higher. Always the same
// for the same count.
struct GeneratedTables
{
    std::string older;
    std::string newer;
};

GeneratedTables GenerateExportTables(std::size_t members);

} // namespace kestrune
