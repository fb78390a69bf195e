#include "engine/resume/resumerecord.h"

#include "engine/resume/resumefile.h"
#include "engine/write/exportfiles.h"

#include <QFileInfo>

namespace kestrune {

void ResumeRecord::Start(const QDir &folder, ResumePoint fixed)
{
    folder_ = folder;
    point_ = std::move(fixed);
    // Inside the folder the table is named relative to it, so the folder
    // can move between a stop and the resume.
    if (!point_.table.isEmpty() && !folder_.relativeFilePath(point_.table).startsWith(u".."))
        point_.table = folder_.relativeFilePath(point_.table);
}

Expected<> ResumeRecord::Save(std::int64_t nextRank, std::int64_t nextNumber, const QString &delay)
{
    point_.nextRank = nextRank;
    point_.nextNumber = nextNumber;
    point_.delay = delay;
    point_.resultsSize = QFileInfo(folder_.filePath(QLatin1String(ResultsFileName))).size();
    point_.tableSize =
        point_.table.isEmpty() ? 0 : QFileInfo(folder_.filePath(point_.table)).size();
    return SaveResumePoint(folder_, point_);
}

Expected<> ResumeRecord::Remove() const
{
    return RemoveResumePoint(folder_);
}

} // namespace kestrune
