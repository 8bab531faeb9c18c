// The client applications' settings, held for the life of the process.
// Loaded once at start-up from the registry subkey CLIENT (the settings key
// is created when missing), then overridden key by key by section CLIENT of
// tarnclient.ini beside the executable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_values.h"

namespace tarn {

class TtarnClientCfg final {
 public:
  TtarnClientCfg() = delete;

  static void Load();
  // Loads from `dir` (with its trailing separator) and the registry.
  static void LoadFrom(const std::string& dir, SettingsKeyUse key_use = SettingsKeyUse::kCreateWhenMissing);
  static void Release();
  static void ForEachValue(const SettingVisitor& visit);

  static bool Debug();
  static const std::string& ForceAddress();
  static bool RequestCompression();
  static int32_t Timeout();      // milliseconds
  static int32_t UserTimeout();  // milliseconds, never 0
};

}  // namespace tarn
