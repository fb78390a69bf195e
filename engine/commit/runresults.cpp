#include "engine/commit/runresults.h"

#include "engine/commit/runtally.h"
#include "engine/commit/tablewriter.h"
#include "engine/write/exportfiles.h"

namespace kestrune {

Expected<> RunResults::Start(const std::filesystem::path &directory, WriteFault *fault,
                             ScannerState &scanner, const std::optional<TablePlan> &table,
                             RunTally &tally)
{
    commit_.reset();
    tablePath_ = table ? QString::fromStdU16String(table->path.u16string()) : QString();
    files_ = MakeResultFiles(directory, fault, table);
    std::vector<ResultSink *> sinks;
    for (const std::unique_ptr<ResultSink> &file : files_.sinks)
        sinks.push_back(file.get());
    sinks.push_back(&tally);
    commit_.emplace(directory / PageFileName, fault, scanner, std::move(sinks));
    return files_.table ? files_.table->Prepare() : Expected<>{};
}

Expected<> RunResults::End()
{
    return commit_ ? commit_->EndRun() : Expected<>{};
}

RunReport RunResults::Report(const RunTally &tally, std::int64_t nowMs,
                             const EmptyRun &emptyAtEnd) const
{
    RunReport report = tally.Report(nowMs, emptyAtEnd);
    report.pages = commit_ ? commit_->PagesDone() : 0;
    if (files_.table)
        report.table = files_.table->Summary();
    return report;
}

} // namespace kestrune
