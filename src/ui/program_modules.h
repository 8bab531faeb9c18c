// The program's modules in their start-up order. The entry supplies the two
// pieces that belong to the window toolkit.
#pragma once

#include <vector>

#include "runtime/module_startup.h"

namespace tarn {

// The runtime library and the window toolkit come first, the window module
// last; between them the settings loads and the runtime support modules.
std::vector<ModuleEntry> ProgramModules(ModuleEntry toolkit, ModuleEntry window);

}  // namespace tarn
