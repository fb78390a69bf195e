#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// GoogleTest prints Qt's strings as text, so a failure shows both sides.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}
