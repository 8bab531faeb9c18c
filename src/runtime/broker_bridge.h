// The binding of the environment's broker bridge library,
// "tarnbrokerbridge.dll" (libtarnbrokerbridge.so beside the executable on
// POSIX). Start-up loads it by its bare name and binds three entries by name;
// a missing library or entry leaves its slot null and reports nothing. The
// library is never unloaded. Nothing in this program calls the entries, so
// their argument lists are not fixed here: a caller tests a slot for null and
// casts it to the signature the bridge documents.
#pragma once

#include "platform/dynamic_library.h"

namespace tarn {

struct BrokerBridgeEntries {
  EntryPoint set_context = nullptr;        // "SetContext"
  EntryPoint get_context = nullptr;        // "GetContext"
  EntryPoint set_in_server_env = nullptr;  // "SetInServerEnv"
};

// The bound entries; all null before start-up. Written only by start-up, so
// readers need no lock.
const BrokerBridgeEntries& BrokerBridge();

// Loads the bridge and binds its entries. The module has no shutdown: the
// library stays loaded and the slots keep their values until the process ends.
void BrokerBridgeStartup();

}  // namespace tarn
