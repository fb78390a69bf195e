#include "tests/support/expectedresults.h"

#include <QFile>

namespace kestrune {

namespace {
void PadToColumn(QByteArray &line, qsizetype column)
{
    const qsizetype current = line.size() + 1;
    line.append(current < column ? column - current : 1, ' ');
}
} // namespace

QByteArray ExpectedResults(const QList<SampleMember> &members, qint64 firstNumber)
{
    QByteArray all;
    qint64 number = firstNumber;
    for (const SampleMember &member : members) {
        QByteArray line = ' ' + QByteArray::number(number++) + ' ';
        PadToColumn(line, 8);
        line += member.name;
        PadToColumn(line, 25);
        line += QByteArray::number(member.level) + "\r\n";
        all += line;
    }
    return all;
}

QByteArray ExpectedPages(const SampleForum &forum, const QByteArray &forumName, qint64 firstPage,
                         qint64 lastPage, qint64 firstNumber)
{
    QList<SampleMember> members;
    for (qint64 page = firstPage; page <= lastPage; ++page)
        members += forum.MembersOnPage(forumName, page);
    return ExpectedResults(members, firstNumber);
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace kestrune
