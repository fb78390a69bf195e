#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// Why a file is not one of this program's tables, and where.
struct TableProblem
{
    enum class Kind
    {
        NoByteOrderMark,
        WrongHeader,
        WrongFieldCount, // `fields` found, the header's count wanted
        UnclosedQuote,   // a quoted field runs to the end of the file
        NotANumber,      // field `column` (1-based) should be a number
        TooLarge,        // more than this program reads
    };

    Kind kind = Kind::WrongHeader;
    std::int64_t line = 1; // 1-based, where the row starts
    std::size_t fields = 0;
    std::size_t column = 0;

    friend bool operator==(const TableProblem &, const TableProblem &) = default;
};

// Reads a table this program wrote, row by row, out of the file's whole
// text: undoes the quoting and the formula guard (one leading "'").
class TableReader
{
public:
    explicit TableReader(std::string_view text)
        : text_(text)
    {}

    // The byte-order mark and exactly `header` as the first line.
    std::optional<TableProblem> ReadHeader(std::string_view header);
    // The next row into `fields`; false at the end of the file or on a
    // problem, which Problem() then holds.
    bool Next(std::vector<std::string> &fields);
    const std::optional<TableProblem> &Problem() const { return problem_; }
    // Where the row last read starts.
    std::int64_t Line() const { return rowLine_; }
    // How far through the text, for progress.
    std::size_t Position() const { return position_; }

private:
    // Where the field starting at `from` ends: a separator, or the text's end.
    std::size_t FieldEnd(std::size_t from) const;
    // One field from position_; false when a quote is never closed.
    bool ReadField(std::string &field);

    std::string_view text_;
    std::size_t position_ = 0;
    std::int64_t line_ = 1;
    std::int64_t rowLine_ = 1;
    std::size_t headerFields_ = 0;
    std::optional<TableProblem> problem_;
};

} // namespace kestrune
