#include "engine/run/continuerun.h"

#include "engine/run/exporter.h"
#include "engine/run/folderlock.h"
#include "engine/write/exportfiles.h"

namespace kestrune {

namespace {

FolderLock::Outcome TakeFolder(FolderLock &lock, const QDir &folder)
{
    return lock.Take(folder.filePath(QLatin1String(LockFileName)));
}

} // namespace

std::optional<ResumeProblem> ContinueRun(Exporter &exporter, const ResumePoint &point)
{
    // Never cut back files another run is appending to.
    FolderLock lock;
    if (TakeFolder(lock, exporter.Directory()) == FolderLock::Outcome::Busy)
        return ResumeProblem{.kind = ResumeProblem::Kind::FolderBusy,
                             .path = exporter.Directory().filePath(QLatin1String(ResumeFileName)),
                             .detail = "进程 " + std::to_string(lock.OwnerPid())};
    if (std::optional<ResumeProblem> problem = RestoreFiles(exporter.Directory(), point))
        return problem;
    exporter.SetHost(point.host);
    exporter.SetRetries(point.retries);
    exporter.SetTimeoutSeconds(point.timeoutSeconds);
    exporter.SetNextNumber(point.nextNumber);
    exporter.ContinueTable(point.table);
    return std::nullopt;
}

bool RunGoingOnIn(const QDir &folder)
{
    FolderLock lock;
    return TakeFolder(lock, folder) == FolderLock::Outcome::Busy;
}

} // namespace kestrune
