#include "tables/tableformat.h"

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
    const bool quoted = utf8.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted)
        line_ += '"';
    if (NeedsFormulaGuard(utf8))
        line_ += '\'';
    for (const char c : utf8) {
        if (c == '"')
            line_ += '"';
        line_ += c;
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
