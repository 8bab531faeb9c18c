#include "settings/server_cfg.h"

#include "platform/file_system.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

using enum SettingId;

std::vector<StoredText> registry_texts;

}  // namespace

void TtarnServerCfg::Load() { LoadFrom(ExeDir()); }

void TtarnServerCfg::LoadFrom(const std::string& dir) {
  ResetSettings(ServerSettings());
  registry_texts.clear();
  std::string file = SettingsFilePath(dir, kServerSection);
  if (SettingsFileThere(file)) {
    ReadSettings(ServerSettings(), IniSource(file));
    return;
  }
  TRegistry registry(RegAccess::kRead);
  if (!registry.OpenKeyReadOnly(kSettingsKey)) return;
  TRegistry server(RegAccess::kRead);
  RegistrySource source(server.OpenKeyReadOnly(SettingsKeyPath(kServerSection)) ? &server : nullptr);
  std::vector<SettingRead> reads = ReadSettings(ServerSettings(), source);
  for (size_t i = 0; i < reads.size(); ++i) {
    if (reads[i].set) registry_texts.push_back({ServerSettings()[i].key, std::move(reads[i].text)});
  }
}

void TtarnServerCfg::Release() {
  ResetSettings(ServerSettings());
  registry_texts.clear();
}

const std::vector<StoredText>& TtarnServerCfg::RegistryTexts() { return registry_texts; }

void TtarnServerCfg::ForEachValue(const SettingVisitor& visit) { ForEachLoadedValue(ServerSettings(), visit); }

int32_t TtarnServerCfg::TaskGovernorInterval() { return LoadedNumber(kTaskGovernorInterval); }
bool TtarnServerCfg::DebugMem() { return LoadedNumber(kDebugMem) != 0; }
int32_t TtarnServerCfg::LogLevel() { return LoadedNumber(kLogLevel); }
uint16_t TtarnServerCfg::MaxTasks() { return static_cast<uint16_t>(LoadedNumber(kMaxTasks)); }
uint16_t TtarnServerCfg::MaxWorkers() { return static_cast<uint16_t>(LoadedNumber(kMaxWorkers)); }
bool TtarnServerCfg::CacheEnabled() { return LoadedNumber(kCacheEnabled) != 0; }
int32_t TtarnServerCfg::ProcessRecycleLimit() { return LoadedNumber(kProcessRecycleLimit); }
int32_t TtarnServerCfg::ProcessRecycleTimeLimit() { return LoadedNumber(kProcessRecycleTimeLimit); }
int32_t TtarnServerCfg::ProcessRecycleMemLimit() { return LoadedNumber(kProcessRecycleMemLimit); }
int32_t TtarnServerCfg::Priority() { return LoadedNumber(kPriority); }
int32_t TtarnServerCfg::MaxBandwidth() { return LoadedNumber(kMaxBandwidth); }
int32_t TtarnServerCfg::LogSizeLimit() { return LoadedNumber(kLogSizeLimit); }
uint8_t TtarnServerCfg::MultiProcessMode() { return static_cast<uint8_t>(LoadedNumber(kMultiProcessMode)); }
const std::string& TtarnServerCfg::ForceCounterAddress() { return LoadedText(kForceCounterAddress); }
int32_t TtarnServerCfg::Port() { return LoadedNumber(kPort); }
int32_t TtarnServerCfg::SSLPort() { return LoadedNumber(kSSLPort); }
int32_t TtarnServerCfg::MaxDB() { return LoadedNumber(kMaxDB); }
bool TtarnServerCfg::ForceCompatibility() { return LoadedNumber(kForceCompatibility) != 0; }
bool TtarnServerCfg::UseBufferManager() { return LoadedNumber(kUseBufferManager) != 0; }
bool TtarnServerCfg::HTTP() { return LoadedNumber(kHTTP) != 0; }
bool TtarnServerCfg::SharedSessions() { return LoadedNumber(kSharedSessions) != 0; }
uint16_t TtarnServerCfg::MinimumSchedulerWorkers() {
  return static_cast<uint16_t>(LoadedNumber(kMinimumSchedulerWorkers));
}
int16_t TtarnServerCfg::IpVersion() { return static_cast<int16_t>(LoadedNumber(kIpVersion)); }
int16_t TtarnServerCfg::WorkersPerCore() { return static_cast<int16_t>(LoadedNumber(kWorkersPerCore)); }
bool TtarnServerCfg::AsService() { return LoadedNumber(kAsService) != 0; }

}  // namespace tarn
