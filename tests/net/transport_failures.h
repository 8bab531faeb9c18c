// The failures the platform's HTTP service reports to the transport, as the
// transport raises them: WinHTTP's codes and texts on every platform.
#pragma once

#include <string>

namespace tarn::testing {

inline std::string SystemError(int code, const std::string& text) {
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + text;
}

inline const std::string kTimedOut = SystemError(12002, "The operation timed out");
inline const std::string kNameNotResolved = SystemError(12007, "The server name or address could not be resolved");
inline const std::string kConnectionBroken =
    SystemError(12030, "The connection with the server was terminated abnormally");
inline const std::string kHeadTooLong = SystemError(12182, "The size of the headers received exceeds the limit");
inline const std::string kInvalidAnswer =
    SystemError(12152, "The server returned an invalid or unrecognized response");

}  // namespace tarn::testing
