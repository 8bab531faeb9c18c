#include "runtime/module_startup.h"

#include <cstdio>

#include "runtime/error_text.h"

namespace tarn {

namespace {

std::vector<TerminateHook> terminate_hooks;

}  // namespace

EModuleStartup::EModuleStartup(std::exception_ptr error, const void* address)
    : Exception(DescribeError(error).message), error_(std::move(error)), address_(address) {}

void ModuleSequence::Start() {
  for (; started_ < modules_.size(); ++started_) {
    const ModuleEntry& module = modules_[started_];
    if (module.startup == nullptr) continue;
    try {
      module.startup();
    } catch (...) {
      std::exception_ptr error = std::current_exception();
      Shutdown();
      throw EModuleStartup(error, reinterpret_cast<const void*>(module.startup));
    }
  }
}

void ModuleSequence::Shutdown() noexcept {
  while (started_ > 0) {
    const ModuleEntry& module = modules_[--started_];
    if (module.shutdown == nullptr) continue;
    try {
      module.shutdown();
    } catch (...) {
      // A shutdown that fails must not keep the others from running.
    }
  }
}

void AddTerminateProc(TerminateHook hook) { terminate_hooks.push_back(hook); }

bool CallTerminateProcs() {
  for (TerminateHook hook : terminate_hooks) {
    if (!hook()) return false;
  }
  return true;
}

void ClearTerminateProcs() { terminate_hooks.clear(); }

std::string StartupErrorText(const std::exception_ptr& error, const std::string& exe_name,
                             const void* address) {
  ErrorText text = DescribeError(error);
  char where[32];
  std::snprintf(where, sizeof where, "%016llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
  std::string stop = !text.message.empty() && text.message.back() != '.' ? "." : "";
  return "Exception " + text.class_name + " in module " + exe_name + " at " + where + ".\r\n" + text.message + stop +
         "\r\n";
}

}  // namespace tarn
