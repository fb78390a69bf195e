#pragma once

#include "platform/expected.h"

#include <QByteArray>
#include <QString>

namespace kestrune {

// The forum name as it goes on the wire: printable ASCII as typed, except the
// characters an address cannot carry (# < > " { } | \ ^ ` and a % not
// followed by two hex digits), which are percent-encoded as are a space and
// everything else, in code page 936 bytes. Invalid argument for a character
// code page 936 lacks.
Expected<QByteArray> EncodeForumName(const QString &forumName);

// The address of a ranking page: `host` is host[:port], or a base address
// with its scheme (http:// or https://). Invalid argument when the result
// is not a valid address.
Expected<QByteArray> BuildRequestAddress(const QString &host, const QString &forumName,
                                         qint64 page);

// The address as a user should see it in a message's detail: scheme, the
// host as typed (never its xn-- form), a port other than the default, path.
QString DisplayAddress(const QByteArray &address);

// The forum's address as the user gives it: host[:port], or https://host[:port]
// (the same forms, the default port left out, the host never in its xn-- form).
QString DisplayForumAddress(const QString &host);

} // namespace kestrune
