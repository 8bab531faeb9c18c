// The libcurl back end only: what libcurl's failures are to the caller.
#include "net/curl_errors.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "net/http_errors.h"

namespace tarn {
namespace {

TEST(LibcurlFailureTest, EachFailureIsTheSameFailureOfWinHTTP) {
  struct Case {
    CURLcode code;
    CurlTransferState state;
    CurlFailure::Kind kind;
    int win_http_code;
  };
  const Case cases[] = {
      // The system gave up waiting for the server (a full backlog drops the
      // connection attempts): the server cannot be reached, as a refusal is.
      {CURLE_OPERATION_TIMEDOUT, {.connected = false}, CurlFailure::kCannotConnect, 0},
      {CURLE_COULDNT_CONNECT, {.connected = false}, CurlFailure::kCannotConnect, 0},
      {CURLE_OPERATION_TIMEDOUT, {.connected = true}, CurlFailure::kHttpError, http_error::kTimeout},
      {CURLE_COULDNT_RESOLVE_HOST, {}, CurlFailure::kHttpError, http_error::kNameNotResolved},
      // A header line longer than libcurl holds is a hostile answer, not
      // memory running out.
      {CURLE_OUT_OF_MEMORY, {.connected = true, .in_head = true}, CurlFailure::kHttpError,
       http_error::kHeaderSizeOverflow},
      {CURLE_OUT_OF_MEMORY, {.connected = true, .in_head = false}, CurlFailure::kOutOfMemory, 0},
      {CURLE_RECV_ERROR, {.connected = true, .in_head = false, .os_errno = ECONNRESET}, CurlFailure::kHttpError,
       http_error::kConnectionError},
      {CURLE_RECV_ERROR, {.connected = true}, CurlFailure::kHttpError, http_error::kInvalidServerResponse},
      {CURLE_PARTIAL_FILE, {.connected = true}, CurlFailure::kHttpError, http_error::kConnectionError},
      {CURLE_UNSUPPORTED_PROTOCOL, {.connected = true}, CurlFailure::kHttpError, http_error::kInvalidServerResponse},
      {CURLE_SSL_CONNECT_ERROR, {.connected = true}, CurlFailure::kHttpError, http_error::kSecureChannelError},
      // A refused certificate, by OpenSSL's verdict on its chain; libcurl
      // checks the name before it takes the verdict (still 1).
      {CURLE_PEER_FAILED_VERIFICATION, {.connected = true, .verify_result = 18}, CurlFailure::kSecurityFailure,
       http_error::kUnknownAuthority},
      {CURLE_PEER_FAILED_VERIFICATION, {.connected = true, .verify_result = 10}, CurlFailure::kSecurityFailure,
       http_error::kCertificateDateInvalid},
      {CURLE_PEER_FAILED_VERIFICATION, {.connected = true, .verify_result = 1}, CurlFailure::kSecurityFailure,
       http_error::kCertificateNameInvalid},
  };
  for (const Case& c : cases) {
    const CurlFailure failure = ClassifyCurlFailure(c.code, c.state);
    EXPECT_EQ(failure.kind, c.kind) << curl_easy_strerror(c.code);
    if (c.kind == CurlFailure::kHttpError || c.kind == CurlFailure::kSecurityFailure) {
      EXPECT_EQ(failure.code, c.win_http_code) << curl_easy_strerror(c.code);
    }
  }
}

}  // namespace
}  // namespace tarn
