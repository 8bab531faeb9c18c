// Start-up and shutdown of the modules that hold process-wide state, and the
// application's termination hooks. The program's entry runs the start-ups
// once, in the order of one explicit list, and the shutdowns in reverse.
#pragma once

#include <string>
#include <vector>

#include "platform/portable/exceptions.h"

namespace tarn {

struct ModuleEntry {
  const char* name;
  void (*startup)();   // may be null
  void (*shutdown)();  // may be null
};

// Raised when a module's start-up fails: carries the module's error, whose
// message it shows, and the code address of the start-up that raised it.
class EModuleStartup final : public Exception {
 public:
  EModuleStartup(std::exception_ptr error, const void* address);
  const char* ClassName() const noexcept override { return "EModuleStartup"; }
  const std::exception_ptr& Error() const { return error_; }
  const void* Address() const { return address_; }

 private:
  std::exception_ptr error_;
  const void* address_;
};

class ModuleSequence final {
 public:
  explicit ModuleSequence(std::vector<ModuleEntry> modules) : modules_(std::move(modules)) {}
  ~ModuleSequence() { Shutdown(); }
  ModuleSequence(const ModuleSequence&) = delete;
  ModuleSequence& operator=(const ModuleSequence&) = delete;

  // Runs every start-up in order. When one fails, the modules already
  // started are shut down in reverse and EModuleStartup is raised.
  void Start();
  // Shuts the started modules down in reverse order; runs once.
  void Shutdown() noexcept;

 private:
  std::vector<ModuleEntry> modules_;
  size_t started_ = 0;
};

// The application's termination hooks, run before the modules shut down. A
// hook returns whether termination may go on.
using TerminateHook = bool (*)();
void AddTerminateProc(TerminateHook hook);
bool CallTerminateProcs();
void ClearTerminateProcs();

// The text of the "Application Error" report of a failed start-up:
// "Exception <class> in module <exe> at <address>.\r\n<message>[.]\r\n".
std::string StartupErrorText(const std::exception_ptr& error, const std::string& exe_name,
                             const void* address);

}  // namespace tarn
