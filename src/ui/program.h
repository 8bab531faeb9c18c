// The program's entry, apart from the toolkit it runs on.
#pragma once

#include <string>

#include "platform/portable/command_line.h"
#include "runtime/module_startup.h"
#include "service/service_library.h"
#include "ui/toolkit.h"

namespace tarn {

// tarnconfig's command line: none opens the window; --help and --version
// answer as the companions do.
extern const ProgramUsage kTarnconfigUsage;

// Starts the modules in their order (the toolkit's first, the window's
// last), sets the application title, creates TForm1 and runs the message
// loop until the window closes; then runs the termination hooks and shuts
// the modules down in reverse. A failed start-up is reported in the
// task-modal "Application Error" box and ends the program, without a
// window, with status 1. Returns the exit status.
int RunSettingsWindow(Toolkit& toolkit, ModuleEntry toolkit_module,
                      const std::string& service_library = kServiceLibraryName);

}  // namespace tarn
