#include "engine/resultfiles.h"

#include "engine/exportfiles.h"
#include "engine/resultswriter.h"

namespace kestrune {

std::vector<std::unique_ptr<ResultSink>> MakeResultFiles(const std::filesystem::path &directory,
                                                         WriteFault *fault)
{
    std::vector<std::unique_ptr<ResultSink>> files;
    files.push_back(std::make_unique<ResultsWriter>(directory / ResultsFileName, fault));
    return files;
}

} // namespace kestrune
