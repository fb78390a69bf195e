#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The tables this program writes: UTF-8 with a byte-order mark, so that
// spreadsheets open them as Chinese without an import dialog; CR LF line
// ends; fields quoted as RFC 4180 asks.
namespace kestrune {

inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view TableLineEnd = "\r\n";
// The first line of an export's table, after the byte-order mark.
inline constexpr std::string_view ExportTableHeader = "名次,会员名,等级";

// Whether a spreadsheet would take a field starting so as a formula (or
// strip its first character): such text is written behind a "'".
bool NeedsFormulaGuard(std::string_view text);

// One line of a table, field by field.
class TableRow
{
public:
    // Text from outside (a member's name): guarded, then quoted when it holds
    // a comma, a double quote, CR or LF.
    TableRow &Text(std::string_view utf8);
    TableRow &Number(std::int64_t number);
    // The line with its CR LF.
    std::string Finish();

private:
    void Separate();

    std::string line_;
    bool first_ = true;
};

} // namespace kestrune
