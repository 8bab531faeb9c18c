// A stand-in for the quelmont library whose service state and errors the
// tests set. Built twice: complete, and without StopService.
#include <algorithm>
#include <cstring>
#include <string>

#include "library_export.h"

#define EXPORT TARN_LIBRARY_EXPORT

namespace {

unsigned char running = 0;
std::string fail_with;
bool fail_next = false;
bool last_failed = false;
std::string last_error;
std::string calls;
void (*during_call)() = nullptr;

void Record(const char* entry, const char* service) {
  calls += std::string(entry) + "(" + service + ");";
}

unsigned char Control(const char* entry, const char* service, bool start) {
  Record(entry, service);
  if (during_call) during_call();
  last_failed = fail_next;
  last_error = fail_with;
  fail_next = false;
  if (last_failed) return 0;
  running = start ? 1 : 0;
  return 1;
}

}  // namespace

EXPORT unsigned char ServiceIsRunning(const char* service) {
  Record("ServiceIsRunning", service);
  return running;
}

EXPORT unsigned char StartService(const char* service) { return Control("StartService", service, true); }

#ifndef QUELMONT_DOUBLE_WITHOUT_STOP
EXPORT unsigned char StopService(const char* service) { return Control("StopService", service, false); }
#endif

// Copies the text without a NUL when it fills the whole buffer, as a
// careless library might.
EXPORT unsigned char GetLastSvcError(char* buffer) {
  Record("GetLastSvcError", "buffer");
  if (!last_failed) return 0;
  size_t length = std::min(last_error.size(), size_t{256});
  std::memcpy(buffer, last_error.data(), length);
  if (length < 256) buffer[length] = '\0';
  return 1;
}

EXPORT void QuelmontDoubleReset() {
  running = 0;
  fail_next = last_failed = false;
  fail_with.clear();
  last_error.clear();
  calls.clear();
  during_call = nullptr;
}

EXPORT void QuelmontDoubleSetRunning(unsigned char value) { running = value; }

// The next start or stop fails with `text`.
EXPORT void QuelmontDoubleFailNext(const char* text) {
  fail_next = true;
  fail_with = text;
}

EXPORT const char* QuelmontDoubleCalls() { return calls.c_str(); }

// Runs `hook` inside every start and stop.
EXPORT void QuelmontDoubleDuringCall(void (*hook)()) { during_call = hook; }
