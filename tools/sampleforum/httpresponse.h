#pragma once

#include <QByteArray>

namespace kestrune {

// A complete HTTP/1.1 response that closes the connection afterwards.
QByteArray httpResponse(int status, const QByteArray &contentType, const QByteArray &body);

} // namespace kestrune
