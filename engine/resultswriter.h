#pragma once

#include "engine/pagescanner.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrune {

class OutputFile;
class WriteFault;

// The results file's lines: a number item (a space or "-", the digits, a
// space), spaces to column 8, the name, spaces to column 25 (one space when
// past it), the value, CR LF. A page is collected in memory so that it
// reaches the file in one write; a line may stay open from one page to the
// next, and a run closes it at its end.
class ResultsWriter final : public ScanSink
{
public:
    void Name(std::int64_t counter, std::string_view name) override;
    void Value(std::string_view value) override;

    // The page collected so far.
    const std::string &Page() const { return page_; }
    // Appends the page to `file` in one write and starts the next. A page that
    // fails to reach the file is dropped and RuntimeError thrown; the file's
    // last line stays as open as it was.
    void WritePage(OutputFile &file);
    // Forgets the page collected so far, as if it had never been scanned.
    void DropPage()
    {
        page_.clear();
        lineStart_ = 0;
    }
    // Closes a line left open by the run's last page in the file at `path`,
    // which is opened only then. The line counts as closed even when that
    // fails, so it is never closed twice.
    void EndRun(const std::filesystem::path &path, WriteFault *fault);

private:
    void PadToColumn(std::int64_t column);

    std::string page_;
    // Columns count from the page's start, even on a line an earlier page
    // left open.
    std::size_t lineStart_ = 0;
    bool pageLeavesLineOpen_ = false;
    bool lineOpen_ = false; // the file's last line
};

} // namespace kestrune
