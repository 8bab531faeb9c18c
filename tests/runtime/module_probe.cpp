// A stand-in for the program's entry: runs the program's module list with a
// toolkit and a window of its own that print, as name=value lines, what the
// runtime support modules hold when the window starts and when the toolkit
// and the window shut down; the window binds the service-control library as
// the real one does. The trace-log and library-search tests run copies of
// it placed beside outside libraries, or beside none.
#include <cstdio>

#include "runtime/broker_bridge.h"
#include "runtime/module_startup.h"
#include "ui/program_modules.h"
#include "runtime/shared_monitor.h"
#include "runtime/trace_log.h"
#include "service/service_library.h"

namespace {

void Print(const char* name, long value) { std::printf("%s=%ld\n", name, value); }

void WindowStartup() {
  const tarn::BrokerBridgeEntries& bridge = tarn::BrokerBridge();
  Print("SetContext", bridge.set_context != nullptr);
  Print("GetContext", bridge.get_context != nullptr);
  Print("SetInServerEnv", bridge.set_in_server_env != nullptr);
  Print("BridgeContext", tarn::TraceBridgeContext());
  std::printf("TraceDirectory=%s\n", tarn::TraceDirectory().c_str());
  Print("TraceTableCount", tarn::TraceTable() ? tarn::TraceTable()->Count() : -1);
  Print("SharedMonAttach", tarn::SharedMon() ? tarn::SharedMon()->AttachProcess() : 0);
  Print("ServiceLibrary", tarn::ServiceLibrary::Bind(tarn::kServiceLibraryName).Bound());
}

void WindowShutdown() { Print("TraceTableAtWindowShutdown", tarn::TraceTable() != nullptr); }

void ToolkitShutdown() {
  Print("TraceTableAtToolkitShutdown", tarn::TraceTable() != nullptr);
  Print("SharedMonAtToolkitShutdown", static_cast<bool>(tarn::SharedMon()));
}

}  // namespace

int main() {
  tarn::ModuleSequence modules(
      tarn::ProgramModules({"toolkit", nullptr, &ToolkitShutdown}, {"window", &WindowStartup, &WindowShutdown}));
  modules.Start();
  Print("TerminateProcs", tarn::CallTerminateProcs());
  modules.Shutdown();
  return 0;
}
