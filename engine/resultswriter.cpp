#include "engine/resultswriter.h"

#include "platform/outputfile.h"

namespace kestrune {

void ResultsWriter::Name(std::int64_t counter, std::string_view name)
{
    const std::uint64_t magnitude =
        counter < 0 ? 0 - static_cast<std::uint64_t>(counter) : static_cast<std::uint64_t>(counter);
    page_ += counter < 0 ? '-' : ' ';
    page_ += std::to_string(magnitude);
    page_ += ' ';
    PadToColumn(8);
    page_ += name;
    PadToColumn(25);
    pageLeavesLineOpen_ = true;
}

void ResultsWriter::Value(std::string_view value)
{
    page_ += value;
    page_ += "\r\n";
    lineStart_ = page_.size();
    pageLeavesLineOpen_ = false;
}

void ResultsWriter::PadToColumn(std::int64_t column)
{
    const auto current = 1 + static_cast<std::int64_t>(page_.size() - lineStart_);
    page_.append(current < column ? static_cast<std::size_t>(column - current) : 1, ' ');
}

void ResultsWriter::WritePage(OutputFile &file)
{
    if (page_.empty())
        return;
    std::string page;
    page.swap(page_);
    lineStart_ = 0;
    file.Write(page);
    lineOpen_ = pageLeavesLineOpen_;
}

void ResultsWriter::EndRun(const std::filesystem::path &path, WriteFault *fault)
{
    if (!lineOpen_)
        return;
    lineOpen_ = false;
    OutputFile file(path, OutputFile::Mode::Append, fault);
    file.Write("\r\n");
    file.Close();
}

} // namespace kestrune
