#include "engine/run/continuerun.h"

#include "engine/run/exporter.h"

namespace kestrune {

std::optional<ResumeProblem> ContinueRun(Exporter &exporter, const ResumePoint &point)
{
    if (std::optional<ResumeProblem> problem = RestoreFiles(exporter.Directory(), point))
        return problem;
    exporter.SetHost(point.host);
    exporter.SetRetries(point.retries);
    exporter.SetTimeoutSeconds(point.timeoutSeconds);
    exporter.SetNextNumber(point.nextNumber);
    exporter.ContinueTable(point.table);
    return std::nullopt;
}

} // namespace kestrune
