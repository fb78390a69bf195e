#pragma once

#include <QString>
#include <optional>

namespace kestrune {

// Why a typed host cannot be used.
enum class HostProblem
{
    Empty,
    BadScheme,      // neither http:// nor https://
    BadPort,        // not a number
    PortOutOfRange, // a number, but not 1 to 65535
    NotAHost,       // no host, or characters no host may have
    UserInfo,       // a user name or password before the host
    PathAfterHost,  // a path, query or fragment after it
};

struct HostError
{
    HostProblem problem;
    QString text; // as typed
};

struct HostCheck
{
    QString host; // normalised, when accepted
    std::optional<HostError> error;
};

// Reads a forum host as a user types it: host[:port], or http:// or https://
// before it, with at most a trailing slash after; full-width forms (a colon,
// digits) read as their ASCII ones. The scheme stays only when it was typed,
// so the fetcher's own default applies otherwise.
HostCheck CheckHost(const QString &text);

// A checked host as a user reads it: a name in its own script rather than
// xn--, and no port that its scheme implies.
QString ShownHost(const QString &host);

} // namespace kestrune
