#include "tests/support/expectedresults.h"

#include "engine/write/resultswriter.h"
#include "platform/cp936.h"
#include "tables/tableformat.h"

#include <QFile>

namespace kestrune {

QByteArray ExpectedResults(const QList<SampleMember> &members, qint64 firstNumber)
{
    // Never written: only its page is read.
    ResultsWriter lines({}, nullptr);
    qint64 number = firstNumber;
    for (const SampleMember &member : members) {
        lines.Name(number++, member.name.toStdString());
        lines.Value(QByteArray::number(member.level).toStdString());
    }
    return QByteArray::fromStdString(lines.Page());
}

QByteArray ExpectedPages(const SampleForum &forum, const QByteArray &forumName, qint64 firstPage,
                         qint64 lastPage, qint64 firstNumber)
{
    QList<SampleMember> members;
    for (qint64 page = firstPage; page <= lastPage; ++page)
        members += forum.MembersOnPage(forumName, page);
    return ExpectedResults(members, firstNumber);
}

QByteArray ExpectedTable(const SampleForum &forum, const QByteArray &forumName, qint64 fromRank,
                         qint64 toRank)
{
    std::string table = std::string(ByteOrderMark) + std::string(ExportTableHeader) + "\r\n";
    for (qint64 page = (fromRank - 1) / SampleForum::MembersPerPage + 1;
         page <= (toRank - 1) / SampleForum::MembersPerPage + 1; ++page) {
        for (const SampleMember &member : forum.MembersOnPage(forumName, page)) {
            if (member.rank >= fromRank && member.rank <= toRank)
                table += TableRow()
                             .Number(member.rank)
                             .Text(DecodeCp936(member.name).toStdString())
                             .Text(std::to_string(member.level))
                             .Finish();
        }
    }
    return QByteArray::fromStdString(table);
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace kestrune
