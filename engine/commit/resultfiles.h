#pragma once

#include "engine/write/resultsink.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace kestrune {

class TableWriter;
class WriteFault;

// Where a run's table goes, and the ranks it holds.
struct TablePlan
{
    std::filesystem::path path;
    std::int64_t fromRank = 0;
    std::int64_t toRank = 0;
};

// The files a run writes its results into, each a sink of the page commit.
struct ResultFiles
{
    std::vector<std::unique_ptr<ResultSink>> sinks;
    TableWriter *table = nullptr; // among `sinks`, when the run has one
};

// jieguo.txt in `directory`, and the table when planned. A new kind of result
// file is one more entry here.
ResultFiles MakeResultFiles(const std::filesystem::path &directory, WriteFault *fault,
                            const std::optional<TablePlan> &table);

} // namespace kestrune
