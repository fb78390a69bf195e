#include "engine/run/folderlock.h"

namespace kestrune {

FolderLock::Outcome FolderLock::Take(const QString &lockFilePath)
{
    ownerPid_ = 0;
    lock_ = std::make_unique<QLockFile>(lockFilePath);
    // A run may last hours; only a lock whose process is gone is stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return Outcome::Taken;
    const Outcome outcome =
        lock_->error() == QLockFile::LockFailedError ? Outcome::Busy : Outcome::Failed;
    QString hostName;
    QString appName;
    lock_->getLockInfo(&ownerPid_, &hostName, &appName);
    lock_.reset();
    return outcome;
}

} // namespace kestrune
