#pragma once

#include <QString>
#include <QUrl>

namespace kestrune {

// The forum name as it goes on the wire: printable ASCII other than space as
// typed, everything else as percent-encoded code page 936 bytes. Throws
// RuntimeError (invalid argument) for a character code page 936 lacks.
QByteArray EncodeForumName(const QString &forumName);

// "http://" host "/f/like/furank?kw=" name "&pn=" page. Throws RuntimeError
// (invalid argument) when the result is not a valid address.
QUrl BuildRequestAddress(const QString &host, const QString &forumName, qint64 page);

} // namespace kestrune
