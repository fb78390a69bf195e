#pragma once

#include "engine/commit/pageoutcome.h"
#include "engine/write/pagescanner.h"
#include "engine/write/resultsink.h"
#include "platform/expected.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrune {

class WriteFault;

// What a page did to the run's results.
struct PageResult
{
    PageVerdict verdict = PageVerdict::Named;
    std::int64_t names = 0;              // reached every sink
    std::optional<RuntimeError> error{}; // ends the run, whatever the verdict
};

// A page from temp.txt into every result of the run: stored, scanned into
// each sink, then written to all of them or to none.
class PageCommit
{
public:
    PageCommit(std::filesystem::path pageFile, WriteFault *fault, ScannerState &scanner,
               std::vector<ResultSink *> sinks);

    // Empties temp.txt before a page is fetched.
    Expected<> ClearPage() const;
    // Keeps a fetched page in temp.txt, where the scan reads it.
    Expected<> StorePage(std::string_view body) const;
    // `retryLeft` and `emptyRun` as JudgePage takes them.
    PageResult CommitPage(std::int64_t page, const std::optional<FetchFailure> &refusal,
                          bool retryLeft, const EmptyRun &emptyRun);
    // Every sink's end, however the run ended; the first failure.
    Expected<> EndRun();
    // Pages kept that the run went past, never the one that ended it: what
    // a report counts, however the run ends.
    std::int64_t PagesDone() const { return pagesDone_; }

private:
    // Fans one scan out to every sink.
    class Fanout final : public ScanSink
    {
    public:
        explicit Fanout(const std::vector<ResultSink *> &sinks)
            : sinks_(sinks)
        {}
        void Name(std::int64_t counter, std::string_view name) override;
        void Value(std::string_view value) override;

    private:
        const std::vector<ResultSink *> &sinks_;
    };

    // The page in every sink, or in none; the failure that kept it out.
    Expected<> WriteEverywhere();

    std::filesystem::path pageFile_;
    WriteFault *fault_;
    ScannerState &scanner_;
    std::vector<ResultSink *> sinks_;
    std::int64_t pagesDone_ = 0;
};

} // namespace kestrune
