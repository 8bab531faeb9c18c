#include "quelmont.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "systemctl.h"
#include "library_export.h"

namespace {

// The outcome of the last start or stop.
bool last_failed = false;
std::string last_error;

unsigned char Control(const char* verb, const char* service) {
  std::string unit = service != nullptr ? service : "";
  if (unit.empty() || unit.front() == '-') {
    last_failed = true;
    last_error = "Invalid service name '" + unit + "'";
    return 0;
  }
  quelmont::SystemctlResult result = quelmont::RunSystemctl(verb, unit);
  last_failed = !result.succeeded;
  last_error = result.succeeded ? std::string() : result.message;
  return result.succeeded ? 1 : 0;
}

}  // namespace

extern "C" {

TARN_LIBRARY_EXPORT unsigned char ServiceIsRunning(const char* service) {
  if (service == nullptr || *service == '\0' || *service == '-') return 0;
  return quelmont::RunSystemctl("is-active", service).succeeded ? 1 : 0;
}

TARN_LIBRARY_EXPORT unsigned char StartService(const char* service) {
  return Control("start", service);
}

TARN_LIBRARY_EXPORT unsigned char StopService(const char* service) {
  return Control("stop", service);
}

TARN_LIBRARY_EXPORT unsigned char GetLastSvcError(char* buffer) {
  if (!last_failed) return 0;
  size_t length = std::min(last_error.size(), size_t{QUELMONT_ERROR_BUFFER_SIZE - 1});
  std::memcpy(buffer, last_error.data(), length);
  buffer[length] = '\0';
  return 1;
}

}  // extern "C"
