#pragma once

#include "engine/resume/resumepoint.h"
#include "platform/expected.h"

#include <QDir>
#include <cstdint>

namespace kestrune {

// A run's resume file, kept up to date page by page: what stays the same
// through the run is given at its start, where it stands at every save.
class ResumeRecord
{
public:
    void Start(const QDir &folder, ResumePoint fixed);
    // The files' lengths are taken as they are now, every page being whole.
    Expected<> Save(std::int64_t nextRank, std::int64_t nextNumber, const QString &delay);
    // The run completed: nothing to continue.
    Expected<> Remove() const;

private:
    QDir folder_;
    ResumePoint point_;
};

} // namespace kestrune
