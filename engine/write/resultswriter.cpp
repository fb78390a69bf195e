#include "engine/write/resultswriter.h"

namespace kestrune {

ResultsWriter::ResultsWriter(std::filesystem::path path, WriteFault *fault)
    : path_(std::move(path))
    , fault_(fault)
{}

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

void ResultsWriter::DropPage()
{
    page_.clear();
    lineStart_ = 0;
    pageLeavesLineOpen_ = lineOpen_;
}

Expected<> ResultsWriter::WritePage()
{
    // Opened even for a page without lines, so a file that cannot be used is
    // told on the page that finds it.
    Expected<OutputFile> file = OutputFile::Open(path_, OutputFile::Mode::Append, fault_);
    std::string page;
    page.swap(page_);
    lineStart_ = 0;
    if (!file) {
        pageLeavesLineOpen_ = lineOpen_;
        return file.Error();
    }
    if (!page.empty()) {
        if (Expected<> written = file->Write(page); !written) {
            pageLeavesLineOpen_ = lineOpen_;
            return written;
        }
    }
    sizeBefore_ = file->Size() - static_cast<long long>(page.size());
    lineOpenBefore_ = lineOpen_;
    lineOpen_ = pageLeavesLineOpen_;
    file_.emplace(std::move(*file));
    return {};
}

void ResultsWriter::TakeBackPage()
{
    if (!file_)
        return;
    (void)file_->CutBackTo(sizeBefore_);
    (void)file_->Close();
    file_.reset();
    lineOpen_ = lineOpenBefore_;
    pageLeavesLineOpen_ = lineOpen_;
}

Expected<> ResultsWriter::KeepPage()
{
    if (!file_)
        return {};
    Expected<> closed = file_->Close();
    file_.reset();
    return closed;
}

Expected<> ResultsWriter::EndRun()
{
    if (file_) // a page written but neither kept nor taken back stands
        (void)KeepPage();
    if (!lineOpen_)
        return {};
    lineOpen_ = false;
    Expected<OutputFile> file = OutputFile::Open(path_, OutputFile::Mode::Append, fault_);
    if (!file)
        return file.Error();
    if (Expected<> written = file->Write("\r\n"); !written)
        return written;
    return file->Close();
}

} // namespace kestrune
