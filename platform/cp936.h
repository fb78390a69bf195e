#pragma once

#include <QByteArray>
#include <QString>

// Conversions between the program's own text and code page 936 bytes.
namespace kestrune {

// Every character must have a code page 936 form; returns false otherwise.
bool EncodeCp936(QStringView text, QByteArray &bytes);

// Never fails: undecodable bytes become U+FFFD, and so does a lead byte left
// at the very end, which a plain decoder would silently drop.
QString DecodeCp936(QByteArrayView bytes);

} // namespace kestrune
