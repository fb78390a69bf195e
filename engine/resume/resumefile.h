#pragma once

#include "engine/resume/resumepoint.h"
#include "platform/expected.h"

#include <QDir>
#include <QString>
#include <optional>
#include <string>

namespace kestrune {

// Why the folder's resume file cannot be used; the file stays as it is.
struct ResumeProblem
{
    enum class Kind
    {
        CannotRead,   // not a regular file, or reading it failed
        Damaged,      // cut short or edited
        NewerVersion, // written by a later version of the program
        FilesChanged, // jieguo.txt or the table is shorter than when it was written
        FolderBusy,   // another run is going on there: the record is its own
    };
    Kind kind = Kind::Damaged;
    QString path{};
    std::string detail{}; // UTF-8, for the detail part
};

struct ResumeLoad
{
    std::optional<ResumePoint> point{}; // none: nothing to continue
    std::optional<ResumeProblem> problem{};
};

// Written whole or not at all, so a power cut leaves the last page's point
// or the one before, never a mix.
Expected<> SaveResumePoint(const QDir &folder, const ResumePoint &point);
ResumeLoad LoadResumePoint(const QDir &folder);
// Gone already counts as removed.
Expected<> RemoveResumePoint(const QDir &folder);

// Takes back what a run cut short mid-page wrote past the point, so that the
// continued files are those of a run that never stopped.
std::optional<ResumeProblem> RestoreFiles(const QDir &folder, const ResumePoint &point);

} // namespace kestrune
