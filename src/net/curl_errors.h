// How the libcurl back end reports libcurl's failures: with the codes and
// texts of the platform HTTP service's failures (see http_errors.h).
#pragma once

#include <curl/curl.h>

namespace tarn {

// What a libcurl failure is to the transport's caller.
struct CurlFailure {
  enum Kind { kHttpError, kCannotConnect, kOutOfMemory };
  Kind kind;
  int code = 0;  // the WinHTTP code of a kHttpError
};

// connected: whether the connection to the server (or the proxy) stood;
// a failure before it is a server that cannot be reached, also when the
// system gave up waiting for it. os_errno: the system's error behind the
// failure, 0 when there was none (an answer libcurl could not read).
CurlFailure ClassifyCurlFailure(CURLcode code, bool connected, long os_errno);

}  // namespace tarn
