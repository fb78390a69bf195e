#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace kestrune {

// Why a page could not be taken, as a value: the kind a user or a retry
// must tell apart, the lower layer's own words, and where it happened.
// FetchAdvice (engine/messages/failureadvice.h) makes the sentence of it,
// DescribeFetchFailure (engine/messages/detailwords.h) the detail.
struct FetchFailure
{
    enum class Kind
    {
        TimedOut, // detail: the seconds allowed
        Refused,
        CutShort, // reset, or the body ended before its length
        HostNotFound,
        BadAddress,
        HeadersTooLarge,
        HeaderLineTooLong,
        UnaskedEncoding, // detail: the Content-Encoding
        CorruptCompression,
        TrailingBytes,         // after the compressed stream
        UnfinishedCompression, // the response ended inside the stream
        BodyTooLarge,
        CertificateExpired,
        CertificateNotYetValid,
        CertificateUntrusted,
        CertificateWrongName,
        CertificateInvalid, // refused for another reason
        TlsFailed,
        NotHttps,         // an https:// address on a port that speaks plain HTTP
        BadCaFile,        // the CA file named cannot be read as certificates
        InsecureRedirect, // https to http; detail: the target
        TooManyRedirects,
        CouldNotStart, // libcurl would not take the transfer
        LibraryFailed, // libcurl's start-up, or its driving of the transfer, failed
        EmptyAnswer,   // a 2xx status and no body at all
        HttpStatus,    // a page without names and a status outside 2xx
        Other,
    };

    Kind kind = Kind::Other;
    QString detail{};     // libcurl's or the TLS library's words, or the datum named above
    QByteArray address{}; // the last address asked, after any redirects
    // HttpStatus and EmptyAnswer: the status line's code and reason phrase,
    // and the Retry-After value if the server sent one.
    int status = 0;
    QByteArray reason{};
    QByteArray retryAfter{};
};

// Whether the same request may well succeed if sent again.
bool IsTransient(FetchFailure::Kind kind);

// The kind of a libcurl result code; `words` are libcurl's own, which name
// the certificate problem the TLS library found.
FetchFailure::Kind KindOfCurlError(int curlCode, std::string_view words);

} // namespace kestrune
