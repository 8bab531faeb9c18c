#include "runtime/broker_bridge.h"

namespace tarn {

namespace {

BrokerBridgeEntries entries;

}  // namespace

const BrokerBridgeEntries& BrokerBridge() { return entries; }

void BrokerBridgeStartup() {
  LibraryHandle bridge = LoadLibraryByName("tarnbrokerbridge.dll");
  entries.set_context = GetEntryPoint(bridge, "SetContext");
  entries.get_context = GetEntryPoint(bridge, "GetContext");
  entries.set_in_server_env = GetEntryPoint(bridge, "SetInServerEnv");
}

}  // namespace tarn
