#include "ui/program_modules.h"

#include "runtime/broker_bridge.h"
#include "runtime/shared_monitor.h"
#include "runtime/trace_log.h"
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
      {"shared monitor", &SharedMonStartup, &SharedMonShutdown},
      // The bridge has nothing to shut down: it stays loaded until the end.
      {"broker bridge binding", &BrokerBridgeStartup, nullptr},
      // Follows the bridge binding: it records whether GetContext is bound.
      {"trace-log set-up", &TraceLogStartup, &TraceLogShutdown},
      window,
  };
}

}  // namespace tarn
