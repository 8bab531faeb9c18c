// The failures the platform reports to the transport, as the transport
// raises them: libcurl's on Linux (mapped to errno values), WinHTTP's codes
// and message texts on Windows.
#pragma once

#include <cerrno>
#include <string>

namespace tarn::testing {

inline std::string SystemError(int code, const std::string& text) {
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + text;
}

#ifdef _WIN32
inline const std::string kTimedOut = SystemError(12002, "The operation timed out");
inline const std::string kServerInvalidNotResolved = SystemError(12007, "");
inline constexpr int kBodyCutShort = 12030;
#else
inline const std::string kTimedOut = SystemError(ETIMEDOUT, "Timeout was reached");
inline const std::string kServerInvalidNotResolved = SystemError(ENXIO, "Could not resolve host: server.invalid");
inline constexpr int kBodyCutShort = EPROTO;
#endif

}  // namespace tarn::testing
