#include "runtime/program_modules.h"

#include "settings/client_cfg.h"
#include "settings/counter_range.h"
#include "settings/server_cfg.h"

namespace tarn {

std::vector<ModuleEntry> ProgramModules(ModuleEntry toolkit, ModuleEntry window) {
  return {
      toolkit,
      {"server settings", &TtarnServerCfg::Load, &TtarnServerCfg::Release},
      {"counter-range settings", &CounterRangeSettings::Load, &CounterRangeSettings::Release},
      {"client settings", &TtarnClientCfg::Load, &TtarnClientCfg::Release},
      window,
  };
}

}  // namespace tarn
