#include "engine/fetch/fetchfailure.h"

#include <curl/curl.h>
#include <initializer_list>

namespace kestrune {

namespace {

using Kind = FetchFailure::Kind;

// The usual reasons a certificate is refused, told apart by the TLS
// library's words (OpenSSL's or Schannel's).
Kind CertificateProblem(std::string_view words)
{
    struct Reason
    {
        std::initializer_list<const char *> words;
        Kind kind;
    };
    static const Reason reasons[] = {
        {{"expired", "cert_trust_is_not_time_valid"}, Kind::CertificateExpired},
        {{"not yet valid"}, Kind::CertificateNotYetValid},
        {{"issuer", "self-signed", "self signed", "untrusted", "partial_chain"},
         Kind::CertificateUntrusted},
        {{"subject name", "hostname", "does not match"}, Kind::CertificateWrongName},
    };
    const QByteArray lower =
        QByteArray(words.data(), static_cast<qsizetype>(words.size())).toLower();
    for (const Reason &reason : reasons) {
        for (const char *word : reason.words) {
            if (lower.contains(word))
                return reason.kind;
        }
    }
    return Kind::CertificateInvalid;
}

// A plain HTTP reply read as TLS: OpenSSL's words (before and since 3.2)
// and Schannel's.
bool AnsweredInPlainHttp(std::string_view words)
{
    const QByteArray lower =
        QByteArray(words.data(), static_cast<qsizetype>(words.size())).toLower();
    for (const char *word : {"wrong version number", "packet length too long",
                             "record layer failure", "sec_e_invalid_token"}) {
        if (lower.contains(word))
            return true;
    }
    return false;
}

} // namespace

bool IsTransient(Kind kind)
{
    return kind == Kind::TimedOut || kind == Kind::Refused || kind == Kind::CutShort ||
           kind == Kind::EmptyAnswer;
}

Kind KindOfCurlError(int curlCode, std::string_view words)
{
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return Kind::HostNotFound;
    case CURLE_COULDNT_CONNECT:
        return Kind::Refused;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
        return Kind::CutShort;
    case CURLE_PEER_FAILED_VERIFICATION:
        return CertificateProblem(words);
    case CURLE_SSL_CONNECT_ERROR:
        return AnsweredInPlainHttp(words) ? Kind::NotHttps : Kind::TlsFailed;
    case CURLE_SSL_CACERT_BADFILE:
        return Kind::BadCaFile;
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
        return Kind::TlsFailed;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return Kind::BadAddress;
    case CURLE_OUT_OF_MEMORY:
        // libcurl's word for a header line past its 100 KiB limit.
        return Kind::HeaderLineTooLong;
    default:
        return Kind::Other;
    }
}

} // namespace kestrune
