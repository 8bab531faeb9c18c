// The tests' handle on the quelmont test double: its control entries, bound
// through the same loader as the window's binding, so both share its state.
#pragma once

#include <string>

#include "platform/dynamic_library.h"

namespace tarn::testing {

class QuelmontDouble {
 public:
  static constexpr char kName[] = "quelmont-double";
  static constexpr char kWithoutStop[] = "quelmont-partial";

  QuelmontDouble() : library_(LoadLibraryByName(kName)) {
    reset_ = Bind<void (*)()>("QuelmontDoubleReset");
    set_running_ = Bind<void (*)(unsigned char)>("QuelmontDoubleSetRunning");
    fail_next_ = Bind<void (*)(const char*)>("QuelmontDoubleFailNext");
    calls_ = Bind<const char* (*)()>("QuelmontDoubleCalls");
    during_call_ = Bind<void (*)(void (*)())>("QuelmontDoubleDuringCall");
    if (!reset_ || !set_running_ || !fail_next_ || !calls_ || !during_call_) std::abort();
    reset_();
  }
  ~QuelmontDouble() { reset_(); }

  // What ServiceIsRunning answers until the next start or stop.
  void SetRunning(unsigned char answer) { set_running_(answer); }
  void FailNext(const std::string& text) { fail_next_(text.c_str()); }
  std::string Calls() const { return calls_(); }
  void DuringCall(void (*hook)()) { during_call_(hook); }

 private:
  template <typename Entry>
  Entry Bind(const char* name) {
    return reinterpret_cast<Entry>(GetEntryPoint(library_, name));
  }

  LibraryHandle library_;
  void (*reset_)();
  void (*set_running_)(unsigned char);
  void (*fail_next_)(const char*);
  const char* (*calls_)();
  void (*during_call_)(void (*)());
};

}  // namespace tarn::testing
