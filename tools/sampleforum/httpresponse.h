#pragma once

#include <QByteArray>

namespace kestrune {

// The status line and headers of an HTTP/1.1 response that closes the
// connection afterwards; `headerLines` are whole lines, each ending in CR LF.
QByteArray HttpHead(int status, const QByteArray &headerLines);

// A complete HTTP/1.1 response that closes the connection afterwards.
QByteArray HttpResponse(int status, const QByteArray &contentType, const QByteArray &body);

} // namespace kestrune
