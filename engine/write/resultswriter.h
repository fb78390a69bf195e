#pragma once

#include "engine/write/resultsink.h"
#include "platform/outputfile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

// jieguo.txt's lines: a number item (a space or "-", the digits, a space),
// spaces to column 8, the name, spaces to column 25 (one space when past
// it), the value, CR LF. A page is collected in memory so that it reaches
// the file in one write; a line may stay open from one page to the next, and
// the run's end closes it.
class ResultsWriter final : public ResultSink
{
public:
    ResultsWriter(std::filesystem::path path, WriteFault *fault);

    void Name(std::int64_t counter, std::string_view name) override;
    void Value(std::string_view value) override;

    void StartPage(std::int64_t) override {}
    void DropPage() override;
    Expected<> WritePage() override;
    void TakeBackPage() override;
    Expected<> KeepPage() override;
    // Closes a line the run's last page left open. The line counts as closed
    // even when that fails, so it is never closed twice.
    Expected<> EndRun() override;

    // The page collected so far.
    const std::string &Page() const { return page_; }

private:
    void PadToColumn(std::int64_t column);

    std::filesystem::path path_;
    WriteFault *fault_;
    std::string page_;
    // Columns count from the page's start, even on a line an earlier page
    // left open.
    std::size_t lineStart_ = 0;
    bool pageLeavesLineOpen_ = false;
    bool lineOpen_ = false; // the file's last line
    // Between WritePage and KeepPage: the file, its size and its last line
    // before the page.
    std::optional<OutputFile> file_;
    long long sizeBefore_ = 0;
    bool lineOpenBefore_ = false;
};

} // namespace kestrune
