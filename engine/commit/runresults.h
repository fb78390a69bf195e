#pragma once

#include "engine/commit/pagecommit.h"
#include "engine/commit/resultfiles.h"
#include "engine/commit/runreport.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace kestrune {

class EmptyRun;
class RunTally;
class WriteFault;

// A run's results behind one page commit: jieguo.txt, the table when there
// is one, and the tally.
class RunResults
{
public:
    // Fails when the table cannot be made or continued; nothing is fetched then.
    Expected<> Start(const std::filesystem::path &directory, WriteFault *fault,
                     ScannerState &scanner, const std::optional<TablePlan> &table, RunTally &tally);
    PageCommit &Commit() { return *commit_; }
    // Every result's end, however the run ended; nothing when none started.
    Expected<> End();
    void Forget() { commit_.reset(); }

    // The tally's report, with the pages done and what the table holds.
    RunReport Report(const RunTally &tally, std::int64_t nowMs, const EmptyRun &emptyAtEnd) const;
    // The run's table; empty for none.
    QString TablePath() const { return tablePath_; }

private:
    ResultFiles files_;
    std::optional<PageCommit> commit_;
    QString tablePath_;
};

} // namespace kestrune
