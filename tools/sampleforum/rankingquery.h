#pragma once

#include <QByteArray>

namespace kestrune {

// What a request target asks for; page 0 when pn is missing or not a number.
struct RankingQuery
{
    QByteArray path;
    QByteArray forumName; // raw bytes after percent-decoding
    qint64 page = 0;

    static RankingQuery FromTarget(const QByteArray &target);
};

} // namespace kestrune
