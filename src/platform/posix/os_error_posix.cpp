#include "platform/os_error.h"

#include <cerrno>
#include <cstring>

namespace tarn {

int LastOSErrorCode() { return errno; }

int InvalidArgumentCode() { return EINVAL; }

int IsAFolderCode() { return EISDIR; }

bool IsMissingFileCode(int code) { return code == ENOENT || code == ENOTDIR; }

bool IsInterruptionCode(int code) { return code == EINTR; }

// Nothing holds a file here: other programs' locks are advisory.
bool IsBriefHoldCode(int) { return false; }

bool IsSharingCode(int) { return false; }

std::string OSErrorText(int code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  return strerror_r(code, buffer, sizeof buffer);
}

}  // namespace tarn
