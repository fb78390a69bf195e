#pragma once

#include "engine/commit/runreport.h"
#include "engine/write/resultsink.h"
#include "platform/outputfile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// An export's table: a row for each name the scan meets whose rank is among
// the ranks asked, with the value that follows the name on its page. The
// rank is the forum's, from the page and the name's place on it, whatever
// the numbering of jieguo.txt. Names and values come from code page 936
// into UTF-8. The file is opened and closed page by page.
class TableWriter final : public ResultSink
{
public:
    TableWriter(std::filesystem::path path, WriteFault *fault, std::int64_t fromRank,
                std::int64_t toRank);

    // Before any page: a missing or empty file gets its header; an existing
    // one must be such a table, which is then continued.
    Expected<> Prepare();

    void Name(std::int64_t counter, std::string_view name) override;
    void Value(std::string_view value) override;
    void StartPage(std::int64_t page) override;
    void DropPage() override { rows_.clear(); }
    Expected<> WritePage() override;
    void TakeBackPage() override;
    Expected<> KeepPage() override;
    Expected<> EndRun() override { return {}; }

    const TableSummary &Summary() const { return summary_; }

private:
    struct Row
    {
        std::int64_t rank = 0;
        std::string name{}; // GBK, as the page had it
        std::optional<std::string> value{};
    };

    WriteFault *fault_;
    TableSummary summary_;
    std::int64_t page_ = 0;
    std::int64_t place_ = 0; // of the last name on the page
    bool lastNameKept_ = false;
    std::vector<Row> rows_;
    // Between WritePage and KeepPage.
    std::optional<OutputFile> file_;
    long long sizeBefore_ = 0;
    std::int64_t undecodableOnPage_ = 0;
};

} // namespace kestrune
