// The failures the platform reports to the transport, as the transport
// raises them: libcurl's on Linux (mapped to errno values), WinHTTP's codes
// and message texts on Windows.
#pragma once

#include <cerrno>
#include <string>

#include "support/wine.h"

namespace tarn::testing {

inline std::string SystemError(int code, const std::string& text) {
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + text;
}

#ifdef _WIN32
// Wine's winhttp.dll has no message table: its codes come without a text.
inline std::string WinHttpError(int code, const std::string& windows_text) {
  return SystemError(code, UnderWine() ? "" : windows_text);
}
inline const std::string kTimedOut = WinHttpError(12002, "The operation timed out");
inline const std::string kServerInvalidNotResolved = WinHttpError(12007, "The server name or address could not be resolved");
inline constexpr int kBodyCutShort = 12030;
#else
inline const std::string kTimedOut = SystemError(ETIMEDOUT, "Timeout was reached");
inline const std::string kServerInvalidNotResolved = SystemError(ENXIO, "Could not resolve host: server.invalid");
inline constexpr int kBodyCutShort = EPROTO;
#endif

}  // namespace tarn::testing
