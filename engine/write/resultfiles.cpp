#include "engine/write/resultfiles.h"

#include "engine/write/exportfiles.h"
#include "engine/write/resultswriter.h"

namespace kestrune {

std::vector<std::unique_ptr<ResultSink>> MakeResultFiles(const std::filesystem::path &directory,
                                                         WriteFault *fault)
{
    std::vector<std::unique_ptr<ResultSink>> files;
    files.push_back(std::make_unique<ResultsWriter>(directory / ResultsFileName, fault));
    return files;
}

} // namespace kestrune
