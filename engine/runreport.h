#pragma once

#include <QMetaType>
#include <cstdint>

namespace kestrune {

// What a run that ended with "导出完成！" has to add: the stretch of pages at
// the end of the range that had no names, past the ranking's end or refused.
struct RunReport
{
    std::int64_t firstEmptyPage = 0; // 0: every page had names
    std::int64_t lastEmptyPage = 0;
};

} // namespace kestrune

Q_DECLARE_METATYPE(kestrune::RunReport)
