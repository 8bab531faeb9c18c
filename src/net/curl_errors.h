// How the libcurl back end reports libcurl's failures: with the codes and
// texts of the platform HTTP service's failures (see http_errors.h).
#pragma once

#include <curl/curl.h>

namespace tarn {

// What a libcurl failure is to the transport's caller.
struct CurlFailure {
  // kSecurityFailure: a certificate refused, or a file of authorities that
  // could not be used; its reason in libcurl's words goes with the code.
  enum Kind { kHttpError, kSecurityFailure, kCannotConnect, kOutOfMemory };
  Kind kind;
  int code = 0;  // the WinHTTP code of a kHttpError or a kSecurityFailure
};

// Where the transfer stood when libcurl failed.
struct CurlTransferState {
  // Whether the connection to the server (or the proxy) stood: a failure
  // before it is a server that cannot be reached, also when the system
  // gave up waiting for it.
  bool connected = false;
  // Whether the answer's head had begun and not ended: libcurl reports a
  // header line longer than it holds as running out of memory.
  bool in_head = false;
  // The system's error behind the failure, 0 when there was none (an
  // answer libcurl could not read).
  long os_errno = 0;
  // The TLS library's verdict on the server's chain of certificates
  // (OpenSSL's verification result, 0 when the chain held).
  long verify_result = 0;
};

CurlFailure ClassifyCurlFailure(CURLcode code, const CurlTransferState& state);

}  // namespace tarn
