#include "engine/commit/resultfiles.h"

#include "engine/commit/tablewriter.h"
#include "engine/write/exportfiles.h"
#include "engine/write/resultswriter.h"

namespace kestrune {

ResultFiles MakeResultFiles(const std::filesystem::path &directory, WriteFault *fault,
                            const std::optional<TablePlan> &table)
{
    ResultFiles files;
    files.sinks.push_back(std::make_unique<ResultsWriter>(directory / ResultsFileName, fault));
    if (table) {
        auto writer =
            std::make_unique<TableWriter>(table->path, fault, table->fromRank, table->toRank);
        files.table = writer.get();
        files.sinks.push_back(std::move(writer));
    }
    return files;
}

} // namespace kestrune
