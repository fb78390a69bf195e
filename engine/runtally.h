#pragma once

#include "engine/runreport.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestrune {

// Counts what a run writes, page by page, for its report.
class RunTally final
{
public:
    // Each name remembered costs about 100 bytes: a million keeps a run's
    // memory near 100 MB; names past that are written but not checked.
    static constexpr std::size_t MaxNamesRemembered = 1'000'000;

    void Start(std::int64_t firstPage, std::int64_t lastPage, std::int64_t nowMs);
    // A page whose lines reached jieguo.txt.
    void AddPage(std::int64_t page, const std::vector<std::string> &names);
    void AddRetry() { ++report_.retries; }
    RunReport Report(std::int64_t nowMs, std::int64_t firstEmptyPage,
                     std::int64_t lastEmptyPage) const;

private:
    struct Seen
    {
        std::int64_t firstLine = 0;
        std::size_t repeated = 0; // index + 1 in repeatedNames; 0: once so far
    };

    void AddName(const std::string &name);

    RunReport report_;
    std::int64_t startMs_ = 0;
    std::optional<ShortPage> lastNamedPage_;
    std::unordered_map<std::string, Seen> seen_;
};

} // namespace kestrune
