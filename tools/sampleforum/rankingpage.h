#pragma once

#include "tools/sampleforum/samplemember.h"

#include <QList>

namespace kestrune {

// The HTML of one ranking page, encoded in GBK.
class RankingPage
{
public:
    static QByteArray Render(const QByteArray &forumName, qint64 page, qint64 lastPage,
                             const QList<SampleMember> &members);
};

} // namespace kestrune
