#include "runtime/module_startup.h"

#include <cstdio>

namespace tarn {

namespace {

std::vector<TerminateHook> terminate_hooks;

struct ErrorText {
  std::string class_name = "Exception";
  std::string message;
};

// The class name and message of an error as the system reports them.
ErrorText DescribeError(const std::exception_ptr& error) {
  ErrorText text;
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    text = {e.ClassName(), e.Message()};
  } catch (const std::bad_alloc&) {
    text = {"EOutOfMemory", EOutOfMemory().Message()};
  } catch (const std::exception& e) {
    text.message = e.what();
  } catch (...) {
  }
  return text;
}

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
