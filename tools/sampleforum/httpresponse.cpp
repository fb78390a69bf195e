#include "tools/sampleforum/httpresponse.h"

namespace kestrune {

namespace {

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return QByteArrayLiteral("OK");
    case 400:
        return QByteArrayLiteral("Bad Request");
    case 403:
        return QByteArrayLiteral("Forbidden");
    case 404:
        return QByteArrayLiteral("Not Found");
    case 405:
        return QByteArrayLiteral("Method Not Allowed");
    case 429:
        return QByteArrayLiteral("Too Many Requests");
    case 500:
        return QByteArrayLiteral("Internal Server Error");
    case 502:
        return QByteArrayLiteral("Bad Gateway");
    case 503:
        return QByteArrayLiteral("Service Unavailable");
    case 504:
        return QByteArrayLiteral("Gateway Timeout");
    default:
        return QByteArrayLiteral("Status");
    }
}

} // namespace

QByteArray HttpHead(int status, const QByteArray &headerLines)
{
    return QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(status) + ' ' +
           ReasonPhrase(status) + "\r\n" + headerLines + "Connection: close\r\n\r\n";
}

QByteArray HttpResponse(int status, const QByteArray &contentType, const QByteArray &body)
{
    QByteArray lines = "Content-Type: " + contentType +
                       "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (status == 405)
        lines += "Allow: GET\r\n";
    return HttpHead(status, lines) + body;
}

} // namespace kestrune
