// The program's entry: starts the modules in their order, runs the program
// and shuts the modules down in reverse.
#include <cstdio>

#include "platform/file_system.h"
#include "runtime/module_startup.h"
#include "runtime/program_modules.h"

int main() {
  tarn::ModuleSequence modules(tarn::ProgramModules({"runtime library and toolkit", nullptr, nullptr},
                                                    {"window", nullptr, nullptr}));
  try {
    modules.Start();
  } catch (const tarn::EModuleStartup& failure) {
    std::fputs(tarn::StartupErrorText(failure.Error(), tarn::ExtractFileName(tarn::ExePath()), failure.Address())
                   .c_str(),
               stderr);
    return 1;
  }
  tarn::CallTerminateProcs();
  modules.Shutdown();
  return 0;
}
