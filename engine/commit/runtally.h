#pragma once

#include "engine/commit/runreport.h"
#include "engine/write/resultsink.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kestrune {

class EmptyRun;

// Counts what a run writes, page by page, for its report: a result of the
// run like the files, so it counts exactly the names they hold.
class RunTally final : public ResultSink
{
public:
    // Each name remembered costs about 100 bytes: a million keeps a run's
    // memory near 100 MB; names past that are written but not checked.
    static constexpr std::size_t MaxNamesRemembered = 1'000'000;

    void Start(std::int64_t firstPage, std::int64_t lastPage, std::int64_t nowMs);
    void AddRetry() { ++report_.retries; }
    // `emptyAtEnd`: the pages without names the run ended on, if it did.
    RunReport Report(std::int64_t nowMs, const EmptyRun &emptyAtEnd) const;

    void Name(std::int64_t counter, std::string_view name) override;
    void Value(std::string_view) override {}
    void StartPage(std::int64_t page) override;
    void DropPage() override { pageNames_.clear(); }
    Expected<> WritePage() override { return {}; }
    void TakeBackPage() override { pageNames_.clear(); }
    Expected<> KeepPage() override;
    Expected<> EndRun() override { return {}; }

private:
    struct Seen
    {
        std::int64_t firstNumber = 0;
        std::size_t repeated = 0; // index + 1 in repeatedNames; 0: once so far
    };

    void AddName(std::int64_t number, const std::string &name);

    std::int64_t page_ = 0;
    using NumberedName = std::pair<std::int64_t, std::string>;
    std::vector<NumberedName> pageNames_;
    RunReport report_;
    std::int64_t startMs_ = 0;
    std::optional<ShortPage> lastNamedPage_;
    std::unordered_map<std::string, Seen> seen_;
};

} // namespace kestrune
