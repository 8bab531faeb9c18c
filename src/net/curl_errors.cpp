#include "net/curl_errors.h"

#include "net/http_errors.h"

namespace tarn {
namespace {

// OpenSSL's verification results, as libcurl reports them.
enum X509Verdict : long {
  // libcurl's own mark of a verdict not taken yet: it checks the name of a
  // certificate before it takes the chain's verdict.
  kNotTaken = 1,
  kUnableToGetIssuer = 2,
  kNotYetValid = 9,
  kExpired = 10,
  kSelfSignedLeaf = 18,
  kSelfSignedInChain = 19,
  kUnableToGetLocalIssuer = 20,
  kUnableToVerifyLeaf = 21,
  kRevoked = 23,
  kInvalidPurpose = 26,
  kUntrusted = 27,
  kHostnameMismatch = 62,
  kIpAddressMismatch = 64,
};

// The WinHTTP code of a certificate that libcurl refused.
int RefusedCertificateCode(long verify_result) {
  switch (verify_result) {
    case kNotTaken:
    case kHostnameMismatch:
    case kIpAddressMismatch: return http_error::kCertificateNameInvalid;
    case kUnableToGetIssuer:
    case kSelfSignedLeaf:
    case kSelfSignedInChain:
    case kUnableToGetLocalIssuer:
    case kUnableToVerifyLeaf:
    case kUntrusted: return http_error::kUnknownAuthority;
    case kNotYetValid:
    case kExpired: return http_error::kCertificateDateInvalid;
    case kRevoked: return http_error::kCertificateRevoked;
    case kInvalidPurpose: return http_error::kCertificateWrongUsage;
    default: return http_error::kSecureFailure;
  }
}

}  // namespace

CurlFailure ClassifyCurlFailure(CURLcode code, const CurlTransferState& state) {
  switch (code) {
    case CURLE_OUT_OF_MEMORY:
      if (state.in_head) return {CurlFailure::kHttpError, http_error::kHeaderSizeOverflow};
      return {CurlFailure::kOutOfMemory};
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return {CurlFailure::kHttpError, http_error::kNameNotResolved};
    case CURLE_COULDNT_CONNECT: return {CurlFailure::kCannotConnect};
    case CURLE_OPERATION_TIMEDOUT:
      if (!state.connected) return {CurlFailure::kCannotConnect};
      return {CurlFailure::kHttpError, http_error::kTimeout};
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return {CurlFailure::kHttpError, http_error::kConnectionError};
    case CURLE_RECV_ERROR:
      // Without a system error libcurl could not read what arrived (a
      // malformed chunk, say).
      return {CurlFailure::kHttpError,
              state.os_errno != 0 ? http_error::kConnectionError : http_error::kInvalidServerResponse};
    // The addresses are http and https only: another protocol is an answer
    // that is not HTTP/1 (HTTP/0.9, say).
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING: return {CurlFailure::kHttpError, http_error::kInvalidServerResponse};
    case CURLE_PEER_FAILED_VERIFICATION:
      return {CurlFailure::kSecurityFailure, RefusedCertificateCode(state.verify_result)};
    case CURLE_SSL_CACERT_BADFILE: return {CurlFailure::kSecurityFailure, http_error::kSecureFailure};
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED: return {CurlFailure::kHttpError, http_error::kSecureChannelError};
    case CURLE_URL_MALFORMAT: return {CurlFailure::kHttpError, http_error::kInvalidUrl};
    default: return {CurlFailure::kHttpError, http_error::kInternalError};
  }
}

void RaiseHttpError(int code) { throw EOSError(code, DocumentedHttpErrorText(code)); }

}  // namespace tarn
