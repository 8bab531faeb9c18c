// The server's settings, held for the life of the process. Loaded once at
// start-up from section SERVER of tarnserver.ini beside the executable when
// that file exists, otherwise from the registry subkey SERVER; never both.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/setting_values.h"

namespace tarn {

// A value as its source stores it.
struct StoredText {
  std::string_view key;
  std::string text;
};

class TtarnServerCfg final {
 public:
  TtarnServerCfg() = delete;

  // Loads from beside the running executable and the current user's registry.
  static void Load();
  // Loads from `dir` (with its trailing separator) and the registry.
  static void LoadFrom(const std::string& dir);
  // Releases the text value and returns every value to its default.
  static void Release();
  // Calls `visit` with each key and its value as text (booleans 1 or 0), in
  // load order.
  static void ForEachValue(const SettingVisitor& visit);
  // The registry's text of each value that the load took from the registry,
  // in load order; empty when it read tarnserver.ini.
  static const std::vector<StoredText>& RegistryTexts();

  static int32_t TaskGovernorInterval();
  static bool DebugMem();
  static int32_t LogLevel();
  static uint16_t MaxTasks();
  static uint16_t MaxWorkers();
  static bool CacheEnabled();
  static int32_t ProcessRecycleLimit();
  static int32_t ProcessRecycleTimeLimit();
  static int32_t ProcessRecycleMemLimit();
  static int32_t Priority();
  static int32_t MaxBandwidth();
  static int32_t LogSizeLimit();  // bytes
  static uint8_t MultiProcessMode();
  static const std::string& ForceCounterAddress();
  static int32_t Port();
  static int32_t SSLPort();
  static int32_t MaxDB();
  static bool ForceCompatibility();
  static bool UseBufferManager();
  static bool HTTP();
  static bool SharedSessions();
  static uint16_t MinimumSchedulerWorkers();
  static int16_t IpVersion();
  static int16_t WorkersPerCore();
  static bool AsService();
};

}  // namespace tarn
