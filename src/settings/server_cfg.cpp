#include "settings/server_cfg.h"

#include <array>
#include <memory>

#include "platform/file_system.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

enum class Width { kInt32, kUInt16, kInt16, kUInt8, kBool, kText };

struct ServerKey {
  const char* name;
  Width width;
  int32_t fallback;
  bool in_registry;  // the registry lacks three of the keys
};

enum Id {
  kTaskGovernorInterval, kDebugMem, kLogLevel, kMaxTasks, kMaxWorkers, kCacheEnabled,
  kProcessRecycleLimit, kProcessRecycleTimeLimit, kProcessRecycleMemLimit, kPriority,
  kMaxBandwidth, kLogSizeLimit, kMultiProcessMode, kForceCounterAddress, kPort, kSSLPort,
  kMaxDB, kForceCompatibility, kUseBufferManager, kHTTP, kSharedSessions,
  kMinimumSchedulerWorkers, kIpVersion, kWorkersPerCore, kAsService, kKeyCount
};

// In the order in which the keys are read.
constexpr std::array<ServerKey, kKeyCount> kKeys = {{
    {"task_governor_interval", Width::kInt32, 30000, true},
    {"debug_mem", Width::kBool, 0, true},
    {"log_level", Width::kInt32, 0, true},
    {"max_tasks", Width::kUInt16, 100, true},
    {"max_workers", Width::kUInt16, 0, true},
    {"cache_enabled", Width::kBool, 0, true},
    {"process_recycle_limit", Width::kInt32, 10000, true},
    {"process_recycle_time_limit", Width::kInt32, 3 * 3600 * 1000, false},
    {"process_recycle_mem_limit", Width::kInt32, 300 << 20, false},
    {"Priority", Width::kInt32, 0, true},
    {"max_bandwidth", Width::kInt32, 0, true},
    {"log_size_limit", Width::kInt32, 50 << 20, true},
    {"multi_process_mode", Width::kUInt8, 2, true},
    {"ForceCounterAddress", Width::kText, 0, true},
    {"Port", Width::kInt32, 6015, true},
    {"SSLPort", Width::kInt32, 443, false},
    {"MaxDB", Width::kInt32, 200, true},
    {"ForceCompatibility", Width::kBool, 0, true},
    {"UseBufferManager", Width::kBool, 1, true},
    {"HTTP", Width::kBool, 1, true},
    {"SharedSessions", Width::kBool, 0, true},
    {"MinimumSchedulerWorkers", Width::kUInt16, 2, true},
    {"ip_version", Width::kInt16, 4, true},
    {"WorkersPerCore", Width::kInt16, 2, true},
    // Written by the settings window ("Serviço do Windows"), which shows it
    // again when it opens.
    {"ASSERVICE", Width::kBool, 0, true},
}};

// Each value as held: already cut to its width.
std::array<int32_t, kKeyCount> values;
std::string force_counter_address;

int32_t CutToWidth(Width width, int32_t read) {
  switch (width) {
    case Width::kUInt16: return static_cast<uint16_t>(read);
    case Width::kInt16: return static_cast<int16_t>(read);
    case Width::kUInt8: return static_cast<uint8_t>(read);
    case Width::kBool: return read != 0;
    default: return read;
  }
}

void SetDefaults() {
  for (size_t i = 0; i < kKeys.size(); ++i) values[i] = kKeys[i].fallback;
  force_counter_address.clear();
}

void ReadKeys(SettingsSource& source, bool registry) {
  for (size_t i = 0; i < kKeys.size(); ++i) {
    const ServerKey& key = kKeys[i];
    if (registry && !key.in_registry) continue;
    if (key.width == Width::kText) {
      force_counter_address = source.ReadString(key.name, force_counter_address);
    } else if (key.width == Width::kBool) {
      values[i] = source.ReadBool(key.name, values[i] != 0);
    } else {
      values[i] = CutToWidth(key.width, source.ReadInteger(key.name, values[i]));
    }
  }
}

}  // namespace

void TtarnServerCfg::Load() { LoadFrom(ExeDir()); }

void TtarnServerCfg::LoadFrom(const std::string& dir) {
  SetDefaults();
  std::string file = SettingsFilePath(dir, "tarnserver.ini");
  if (FileExists(file)) {
    IniSource source(file, "SERVER");
    ReadKeys(source, false);
    return;
  }
  TRegistry registry(RegAccess::kRead);
  if (!registry.OpenKeyReadOnly(kSettingsKey)) return;
  TRegistry server(RegAccess::kRead);
  RegistrySource source(server.OpenKeyReadOnly(std::string(kSettingsKey) + "\\SERVER") ? &server : nullptr);
  ReadKeys(source, true);
}

void TtarnServerCfg::Release() { SetDefaults(); }

void TtarnServerCfg::ForEachValue(
    const std::function<void(std::string_view key, const std::string& text)>& visit) {
  for (size_t i = 0; i < kKeys.size(); ++i) {
    visit(kKeys[i].name, kKeys[i].width == Width::kText ? force_counter_address : std::to_string(values[i]));
  }
}

int32_t TtarnServerCfg::TaskGovernorInterval() { return values[kTaskGovernorInterval]; }
bool TtarnServerCfg::DebugMem() { return values[kDebugMem] != 0; }
int32_t TtarnServerCfg::LogLevel() { return values[kLogLevel]; }
uint16_t TtarnServerCfg::MaxTasks() { return static_cast<uint16_t>(values[kMaxTasks]); }
uint16_t TtarnServerCfg::MaxWorkers() { return static_cast<uint16_t>(values[kMaxWorkers]); }
bool TtarnServerCfg::CacheEnabled() { return values[kCacheEnabled] != 0; }
int32_t TtarnServerCfg::ProcessRecycleLimit() { return values[kProcessRecycleLimit]; }
int32_t TtarnServerCfg::ProcessRecycleTimeLimit() { return values[kProcessRecycleTimeLimit]; }
int32_t TtarnServerCfg::ProcessRecycleMemLimit() { return values[kProcessRecycleMemLimit]; }
int32_t TtarnServerCfg::Priority() { return values[kPriority]; }
int32_t TtarnServerCfg::MaxBandwidth() { return values[kMaxBandwidth]; }
int32_t TtarnServerCfg::LogSizeLimit() { return values[kLogSizeLimit]; }
uint8_t TtarnServerCfg::MultiProcessMode() { return static_cast<uint8_t>(values[kMultiProcessMode]); }
const std::string& TtarnServerCfg::ForceCounterAddress() { return force_counter_address; }
int32_t TtarnServerCfg::Port() { return values[kPort]; }
int32_t TtarnServerCfg::SSLPort() { return values[kSSLPort]; }
int32_t TtarnServerCfg::MaxDB() { return values[kMaxDB]; }
bool TtarnServerCfg::ForceCompatibility() { return values[kForceCompatibility] != 0; }
bool TtarnServerCfg::UseBufferManager() { return values[kUseBufferManager] != 0; }
bool TtarnServerCfg::HTTP() { return values[kHTTP] != 0; }
bool TtarnServerCfg::SharedSessions() { return values[kSharedSessions] != 0; }
uint16_t TtarnServerCfg::MinimumSchedulerWorkers() { return static_cast<uint16_t>(values[kMinimumSchedulerWorkers]); }
int16_t TtarnServerCfg::IpVersion() { return static_cast<int16_t>(values[kIpVersion]); }
int16_t TtarnServerCfg::WorkersPerCore() { return static_cast<int16_t>(values[kWorkersPerCore]); }
bool TtarnServerCfg::AsService() { return values[kAsService] != 0; }

}  // namespace tarn
