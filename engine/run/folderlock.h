#pragma once

#include <QLockFile>
#include <QString>
#include <QtGlobal>
#include <memory>

namespace kestrune {

// Keeps a second export out of the folder while a run appends to its files.
// Held from a successful Take() until Release() or destruction.
class FolderLock
{
public:
    enum class Outcome
    {
        Taken,
        Busy,
        Failed
    };

    // Tries once, without waiting. Busy: another live process holds it, whose
    // id OwnerPid() then gives; Failed: the lock file cannot be made at all.
    Outcome Take(const QString &lockFilePath);
    qint64 OwnerPid() const { return ownerPid_; }
    void Release() { lock_.reset(); }

private:
    std::unique_ptr<QLockFile> lock_;
    qint64 ownerPid_ = 0;
};

} // namespace kestrune
