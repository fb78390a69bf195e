#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kestrune {

struct SampleMember
{
    qint64 rank = 0;
    QByteArray name; // GBK bytes
    int level = 0;
    // Who this is: the member's rank on day 0, which the page's links and
    // experience follow wherever the member stands that day.
    qint64 id = 0;

    friend bool operator==(const SampleMember &, const SampleMember &) = default;
};

} // namespace kestrune
