#include "tables/tablereader.h"

#include "tables/tableformat.h"

#include <algorithm>

namespace kestrune {

std::optional<TableProblem> TableReader::ReadHeader(std::string_view header)
{
    if (!text_.starts_with(ByteOrderMark))
        problem_ = TableProblem{.kind = TableProblem::Kind::NoByteOrderMark};
    else if (!text_.substr(ByteOrderMark.size()).starts_with(header) ||
             !text_.substr(ByteOrderMark.size() + header.size()).starts_with(TableLineEnd))
        problem_ = TableProblem{.kind = TableProblem::Kind::WrongHeader};
    if (problem_)
        return problem_;
    position_ = ByteOrderMark.size() + header.size() + TableLineEnd.size();
    line_ = 2;
    headerFields_ = static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1;
    return std::nullopt;
}

std::size_t TableReader::FieldEnd(std::size_t from) const
{
    // One pass for the three ends: find_first_of searches for each in turn
    // at every byte.
    const auto end = std::find_if(text_.begin() + static_cast<std::ptrdiff_t>(from), text_.end(),
                                  [](char c) { return c == ',' || c == '\r' || c == '\n'; });
    return static_cast<std::size_t>(end - text_.begin());
}

bool TableReader::ReadField(std::string &field)
{
    field.clear();
    const bool quoted = position_ < text_.size() && text_[position_] == '"';
    if (!quoted) {
        const std::size_t end = FieldEnd(position_);
        field.assign(text_.substr(position_, end - position_));
        position_ = end;
    } else {
        ++position_;
        for (;;) {
            const std::size_t quote = text_.find('"', position_);
            if (quote == std::string_view::npos)
                return false;
            const std::string_view part = text_.substr(position_, quote - position_);
            line_ += std::count(part.begin(), part.end(), '\n');
            field.append(part);
            position_ = quote + 1;
            if (position_ >= text_.size() || text_[position_] != '"')
                break;
            field += '"'; // a doubled quote
            ++position_;
        }
        // Anything between the closing quote and the separator is kept, as
        // spreadsheets do.
        const std::size_t end = FieldEnd(position_);
        field.append(text_.substr(position_, end - position_));
        position_ = end;
    }
    if (field.starts_with('\''))
        field.erase(0, 1);
    return true;
}

bool TableReader::Next(std::vector<std::string> &fields)
{
    if (problem_ || position_ >= text_.size())
        return false;
    rowLine_ = line_;
    std::size_t count = 0;
    for (;;) {
        if (count == fields.size())
            fields.emplace_back();
        if (!ReadField(fields[count])) {
            problem_ = TableProblem{.kind = TableProblem::Kind::UnclosedQuote, .line = rowLine_};
            return false;
        }
        ++count;
        if (position_ >= text_.size() || text_[position_] != ',')
            break;
        ++position_;
    }
    // The row's end: CR LF, or LF from an editor that changed them.
    if (text_.substr(position_).starts_with(TableLineEnd))
        position_ += TableLineEnd.size();
    else if (position_ < text_.size())
        ++position_;
    ++line_;
    fields.resize(count);
    if (headerFields_ != 0 && count != headerFields_) {
        problem_ = TableProblem{
            .kind = TableProblem::Kind::WrongFieldCount, .line = rowLine_, .fields = count};
        return false;
    }
    return true;
}

} // namespace kestrune
