#include "quelmont.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "library_export.h"
#include "service_control.h"

namespace {

// The outcome of the last start or stop.
bool last_failed = false;
std::string last_error;

unsigned char Keep(quelmont::ControlResult result) {
  last_failed = !result.succeeded;
  last_error = result.succeeded ? std::string() : std::move(result.message);
  return result.succeeded ? 1 : 0;
}

std::string NameOf(const char* service) { return service != nullptr ? service : ""; }

}  // namespace

TARN_LIBRARY_EXPORT unsigned char ServiceIsRunning(const char* service) {
  return quelmont::IsRunning(NameOf(service)) ? 1 : 0;
}

TARN_LIBRARY_EXPORT unsigned char StartService(const char* service) { return Keep(quelmont::Start(NameOf(service))); }

TARN_LIBRARY_EXPORT unsigned char StopService(const char* service) { return Keep(quelmont::Stop(NameOf(service))); }

TARN_LIBRARY_EXPORT unsigned char GetLastSvcError(char* buffer) {
  if (!last_failed) return 0;
  size_t length = std::min(last_error.size(), size_t{QUELMONT_ERROR_BUFFER_SIZE - 1});
  std::memcpy(buffer, last_error.data(), length);
  buffer[length] = '\0';
  return 1;
}
