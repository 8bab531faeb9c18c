#include "platform/os_error.h"

#include <cerrno>
#include <cstring>

namespace tarn {

int LastOSErrorCode() { return errno; }

int InvalidArgumentCode() { return EINVAL; }

std::string OSErrorText(int code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  return strerror_r(code, buffer, sizeof buffer);
}

}  // namespace tarn
