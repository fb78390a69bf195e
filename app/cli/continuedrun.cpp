#include "app/cli/continuedrun.h"

#include "engine/messages/resumemessage.h"
#include "engine/resume/resumefile.h"
#include "engine/run/continuerun.h"
#include "engine/run/exporter.h"
#include "platform/consoleoutput.h"

namespace kestrune {

std::optional<ResumePoint> RunToContinue(const QDir &folder)
{
    const ResumeLoad load = LoadResumePoint(folder);
    if (load.problem)
        PrintMessage(stderr, DescribeResumeProblem(*load.problem));
    else if (!load.point)
        PrintMessage(stderr, DescribeNothingToContinue(folder.absolutePath()));
    return load.point;
}

bool SetUpContinuedRun(Exporter &exporter, const ResumePoint &point, GivenSettings given)
{
    const QString host = exporter.Host();
    const int retries = exporter.Retries();
    const int timeout = exporter.TimeoutSeconds();
    if (std::optional<ResumeProblem> problem = ContinueRun(exporter, point)) {
        PrintMessage(stderr, DescribeResumeProblem(*problem));
        return false;
    }
    if (given.host)
        exporter.SetHost(host);
    if (given.retries)
        exporter.SetRetries(retries);
    if (given.timeout)
        exporter.SetTimeoutSeconds(timeout);
    return true;
}

} // namespace kestrune
