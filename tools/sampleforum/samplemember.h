#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kestrune {

struct SampleMember
{
    qint64 rank = 0;
    QByteArray name; // GBK bytes
    int level = 0;

    friend bool operator==(const SampleMember &, const SampleMember &) = default;
};

} // namespace kestrune
