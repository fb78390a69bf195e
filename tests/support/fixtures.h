#pragma once

#include <QByteArray>
#include <QString>

namespace kestrune {

// The exporter's host for a server on this machine's loopback port.
QString LocalHost(quint16 port);

// A ranking page of two members, "AAA" level 5 and "BBB" level 17.
QByteArray GoodPage();
// The results lines the good page appends, numbered from firstNumber.
QByteArray GoodLines(qint64 firstNumber = 1);

} // namespace kestrune
