#pragma once

#include <QString>

namespace kestrune {

struct HostCheck
{
    QString host;  // normalised, when accepted
    QString error; // why it was refused, when not
};

// Reads a forum host as a user types it: host[:port], or http:// or https://
// before it, with at most a trailing slash after. The scheme stays only when
// it was typed, so the fetcher's own default applies otherwise.
HostCheck CheckHost(const QString &text);

} // namespace kestrune
