#include "tools/sampleforum/rankingquery.h"

#include <QList>

namespace kestrune {

RankingQuery RankingQuery::FromTarget(const QByteArray &target)
{
    const qsizetype fragment = target.indexOf('#');
    QByteArray rest = fragment < 0 ? target : target.left(fragment);
    // Absolute form: drop scheme and authority.
    if (rest.startsWith("http://")) {
        const qsizetype slash = rest.indexOf('/', 7);
        rest = slash < 0 ? QByteArrayLiteral("/") : rest.mid(slash);
    }

    RankingQuery query;
    const qsizetype mark = rest.indexOf('?');
    query.path = QByteArray::fromPercentEncoding(mark < 0 ? rest : rest.left(mark));
    if (mark < 0)
        return query;

    bool seenForum = false;
    bool seenPage = false;
    const QList<QByteArray> pairs = rest.mid(mark + 1).split('&');
    for (const QByteArray &pair : pairs) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = equals < 0 ? pair : pair.left(equals);
        const QByteArray value =
            equals < 0 ? QByteArray() : QByteArray::fromPercentEncoding(pair.mid(equals + 1));
        if (key == "kw" && !seenForum) {
            query.forumName = value;
            seenForum = true;
        } else if (key == "pn" && !seenPage) {
            bool ok = false;
            const qint64 page = value.toLongLong(&ok);
            query.page = ok ? page : 0;
            seenPage = true;
        }
    }
    return query;
}

} // namespace kestrune
