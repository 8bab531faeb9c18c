#include "settings/client_cfg.h"

#include "platform/file_system.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

using enum SettingId;

}  // namespace

void TtarnClientCfg::Load() { LoadFrom(ExeDir()); }

// The registry first, then the file, whose entries override it key by key.
void TtarnClientCfg::LoadFrom(const std::string& dir, SettingsKeyUse key_use) {
  ResetSettings(ClientSettings());
  TRegistry registry(RegAccess::kAll);
  if (registry.OpenKey(kSettingsKey, key_use == SettingsKeyUse::kCreateWhenMissing)) {
    TRegistry client(RegAccess::kRead);
    ReadSettings(ClientSettings(),
                 RegistrySource(client.OpenKeyReadOnly(SettingsKeyPath(kClientSection)) ? &client : nullptr));
  }
  std::string file = SettingsFilePath(dir, kClientSection);
  if (SettingsFileThere(file)) ReadSettings(ClientSettings(), IniSource(file));
  if (LoadedNumber(kUserTimeout) == 0) SetLoadedNumber(kUserTimeout, DescribeSetting(kUserTimeout).fallback);
}

void TtarnClientCfg::Release() { ResetSettings(ClientSettings()); }

void TtarnClientCfg::ForEachValue(const SettingVisitor& visit) { ForEachLoadedValue(ClientSettings(), visit); }

bool TtarnClientCfg::Debug() { return LoadedNumber(kDebug) != 0; }
const std::string& TtarnClientCfg::ForceAddress() { return LoadedText(kForceAddress); }
bool TtarnClientCfg::RequestCompression() { return LoadedNumber(kRequestCompression) != 0; }
int32_t TtarnClientCfg::Timeout() { return LoadedNumber(kTimeout); }
int32_t TtarnClientCfg::UserTimeout() { return LoadedNumber(kUserTimeout); }

}  // namespace tarn
