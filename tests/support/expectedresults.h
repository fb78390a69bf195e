#pragma once

#include "samplemember.h"

#include <QByteArray>
#include <QList>

namespace kestrune {

// The results lines an export should append for these members, numbered from
// firstNumber, written out independently of the program's print code.
QByteArray ExpectedResults(const QList<SampleMember> &members, qint64 firstNumber);

// Reads a whole file; an empty array when it does not exist.
QByteArray FileBytes(const QString &path);

} // namespace kestrune
