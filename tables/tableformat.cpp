#include "tables/tableformat.h"

#include <algorithm>
#include <utility>

namespace kestrune {

bool NeedsFormulaGuard(std::string_view text)
{
    if (text.empty())
        return false;
    switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\'':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

void TableRow::Separate()
{
    if (!std::exchange(first_, false))
        line_ += ',';
}

TableRow &TableRow::Text(std::string_view utf8)
{
    Separate();
    const bool quoted = std::any_of(utf8.begin(), utf8.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (quoted)
        line_ += '"';
    if (NeedsFormulaGuard(utf8))
        line_ += '\'';
    // Each quote doubled; the stretches between go in whole.
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t quote = std::min(utf8.find('"', at), utf8.size());
        line_.append(utf8.substr(at, quote - at));
        if (quote < utf8.size())
            line_ += "\"\"";
        at = quote + 1;
    }
    if (quoted)
        line_ += '"';
    return *this;
}

TableRow &TableRow::Number(std::int64_t number)
{
    Separate();
    line_ += std::to_string(number);
    return *this;
}

std::string TableRow::Finish()
{
    line_ += TableLineEnd;
    return std::move(line_);
}

} // namespace kestrune
