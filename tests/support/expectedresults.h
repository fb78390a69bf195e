#pragma once

#include "tools/sampleforum/sampleforum.h"

#include <QByteArray>
#include <QList>

namespace kestrune {

// The results lines an export should append for these members, numbered from
// firstNumber (the columns are the results writer's, pinned by its own test).
QByteArray ExpectedResults(const QList<SampleMember> &members, qint64 firstNumber);

// The same for every member listed on the forum's pages first..last.
QByteArray ExpectedPages(const SampleForum &forum, const QByteArray &forumName, qint64 firstPage,
                         qint64 lastPage, qint64 firstNumber = 1);

// The table of an export of ranks from..to, its header included.
QByteArray ExpectedTable(const SampleForum &forum, const QByteArray &forumName, qint64 fromRank,
                         qint64 toRank);

// Reads a whole file; an empty array when it does not exist.
QByteArray FileBytes(const QString &path);
// Writes a whole file, replacing what it held; false when that fails.
bool WriteFile(const QString &path, const QByteArray &bytes);

} // namespace kestrune
