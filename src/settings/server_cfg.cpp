#include "settings/server_cfg.h"

#include <array>
#include <memory>
#include <optional>

#include "platform/file_system.h"
#include "platform/portable/int_text.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

enum class Width { kInt32, kUInt16, kInt16, kUInt8, kBool, kText };

// How the registry load treats a key.
enum class InRegistry {
  kRead,    // a value of another type than text stops the load
  kAbsent,  // the registry lacks three of the keys
  kIfText,  // a value of another type reads as missing
};

struct ServerKey {
  const char* name;
  Width width;
  int32_t fallback;
  InRegistry registry;
};

constexpr InRegistry kRead = InRegistry::kRead;
constexpr InRegistry kAbsent = InRegistry::kAbsent;

enum Id {
  kTaskGovernorInterval, kDebugMem, kLogLevel, kMaxTasks, kMaxWorkers, kCacheEnabled,
  kProcessRecycleLimit, kProcessRecycleTimeLimit, kProcessRecycleMemLimit, kPriority,
  kMaxBandwidth, kLogSizeLimit, kMultiProcessMode, kForceCounterAddress, kPort, kSSLPort,
  kMaxDB, kForceCompatibility, kUseBufferManager, kHTTP, kSharedSessions,
  kMinimumSchedulerWorkers, kIpVersion, kWorkersPerCore, kAsService, kKeyCount
};

// In the order in which the keys are read.
constexpr std::array<ServerKey, kKeyCount> kKeys = {{
    {"task_governor_interval", Width::kInt32, 30000, kRead},
    {"debug_mem", Width::kBool, 0, kRead},
    {"log_level", Width::kInt32, 0, kRead},
    {"max_tasks", Width::kUInt16, 100, kRead},
    {"max_workers", Width::kUInt16, 0, kRead},
    {"cache_enabled", Width::kBool, 0, kRead},
    {"process_recycle_limit", Width::kInt32, 10000, kRead},
    {"process_recycle_time_limit", Width::kInt32, 3 * 3600 * 1000, kAbsent},
    {"process_recycle_mem_limit", Width::kInt32, 300 << 20, kAbsent},
    {"Priority", Width::kInt32, 0, kRead},
    {"max_bandwidth", Width::kInt32, 0, kRead},
    {"log_size_limit", Width::kInt32, 50 << 20, kRead},
    {"multi_process_mode", Width::kUInt8, 2, kRead},
    {"ForceCounterAddress", Width::kText, 0, kRead},
    {"Port", Width::kInt32, 6015, kRead},
    {"SSLPort", Width::kInt32, 443, kAbsent},
    {"MaxDB", Width::kInt32, 200, kRead},
    {"ForceCompatibility", Width::kBool, 0, kRead},
    {"UseBufferManager", Width::kBool, 1, kRead},
    {"HTTP", Width::kBool, 1, kRead},
    {"SharedSessions", Width::kBool, 0, kRead},
    {"MinimumSchedulerWorkers", Width::kUInt16, 2, kRead},
    {"ip_version", Width::kInt16, 4, kRead},
    {"WorkersPerCore", Width::kInt16, 2, kRead},
    // Written by the settings window ("Serviço do Windows"), which shows it
    // again when it opens. No server reads it, so a value of another type
    // must not stop the program.
    {"ASSERVICE", Width::kBool, 0, InRegistry::kIfText},
}};

// Each value as held: already cut to its width.
std::array<int32_t, kKeyCount> values;
std::string force_counter_address;
std::vector<StoredText> registry_texts;

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
  registry_texts.clear();
}

// Every value starts at its default, and text that sets none leaves it so.
// Returns whether `text` set the value.
bool TakeText(size_t i, const std::string& text) {
  if (kKeys[i].width == Width::kText) {
    force_counter_address = text;
    return !text.empty();
  }
  std::optional<int32_t> read = TryStrToInt(text);
  if (read) values[i] = CutToWidth(kKeys[i].width, *read);
  return read.has_value();
}

void ReadFromFile(SettingsSource& source) {
  for (size_t i = 0; i < kKeys.size(); ++i) TakeText(i, source.ReadString(kKeys[i].name, ""));
}

void ReadFromRegistry(SettingsSource& source) {
  for (size_t i = 0; i < kKeys.size(); ++i) {
    const ServerKey& key = kKeys[i];
    if (key.registry == kAbsent) continue;
    std::string text = key.registry == kRead ? source.ReadString(key.name, "") : source.ReadStringIfText(key.name, "");
    if (TakeText(i, text)) registry_texts.push_back({key.name, text});
  }
}

}  // namespace

void TtarnServerCfg::Load() { LoadFrom(ExeDir()); }

void TtarnServerCfg::LoadFrom(const std::string& dir) {
  SetDefaults();
  std::string file = SettingsFilePath(dir, "tarnserver.ini");
  if (FileExists(file)) {
    IniSource source(file, "SERVER");
    ReadFromFile(source);
    return;
  }
  TRegistry registry(RegAccess::kRead);
  if (!registry.OpenKeyReadOnly(kSettingsKey)) return;
  TRegistry server(RegAccess::kRead);
  RegistrySource source(server.OpenKeyReadOnly(std::string(kSettingsKey) + "\\SERVER") ? &server : nullptr);
  ReadFromRegistry(source);
}

void TtarnServerCfg::Release() { SetDefaults(); }

const std::vector<StoredText>& TtarnServerCfg::RegistryTexts() { return registry_texts; }

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
