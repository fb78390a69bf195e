#pragma once

#include <QString>

namespace kestrune {

// A message as a box lays it out: a path breaks only after a separator, and
// a number stays with the words either side of it ("用时 10 秒" whole).
// Only invisible characters are added, and no-break spaces put for spaces.
QString BoxText(const QString &text);

// The message as written, from what BoxText made of it.
QString PlainText(QString boxText);

} // namespace kestrune
