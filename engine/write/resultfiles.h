#pragma once

#include "engine/write/resultsink.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace kestrune {

class WriteFault;

// The files a run writes its results into, in `directory`, each a sink of
// the page commit. A new kind of result file is one more entry here.
std::vector<std::unique_ptr<ResultSink>> MakeResultFiles(const std::filesystem::path &directory,
                                                         WriteFault *fault);

} // namespace kestrune
