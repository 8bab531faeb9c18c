#include "settings/client_cfg.h"

#include "platform/file_system.h"
#include "platform/portable/int_text.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

constexpr int32_t kDefaultTimeout = 600000;       // 10 minutes
constexpr int32_t kDefaultUserTimeout = 1800000;  // 30 minutes

bool debug = false;
std::string force_address;
bool request_compression = false;
int32_t timeout = kDefaultTimeout;
int32_t user_timeout = kDefaultUserTimeout;

void SetDefaults() {
  debug = false;
  force_address.clear();
  request_compression = false;
  timeout = kDefaultTimeout;
  user_timeout = kDefaultUserTimeout;
}

// Each key keeps what the previous source left when this one lacks it.
void ReadKeys(SettingsSource& source) {
  debug = source.ReadBool("DEBUG", debug);
  force_address = source.ReadString("FORCEADDRESS", force_address);
  request_compression = source.ReadBool("REQUESTCOMPRESSION", request_compression);
  timeout = source.ReadInteger("TIMEOUT", timeout);
  user_timeout = source.ReadInteger("USERTIMEOUT", user_timeout);
}

}  // namespace

void TtarnClientCfg::Load() { LoadFrom(ExeDir()); }

void TtarnClientCfg::LoadFrom(const std::string& dir) {
  SetDefaults();
  TRegistry registry(RegAccess::kAll);
  if (registry.OpenKey(kSettingsKey, true)) {
    TRegistry client(RegAccess::kRead);
    RegistrySource source(client.OpenKeyReadOnly(std::string(kSettingsKey) + "\\CLIENT") ? &client : nullptr);
    ReadKeys(source);
  }
  std::string file = SettingsFilePath(dir, "tarnclient.ini");
  if (FileExists(file)) {
    IniSource source(file, "CLIENT");
    ReadKeys(source);
  }
  if (user_timeout == 0) user_timeout = kDefaultUserTimeout;
}

void TtarnClientCfg::Release() { SetDefaults(); }

void TtarnClientCfg::ForEachValue(
    const std::function<void(std::string_view key, const std::string& text)>& visit) {
  visit("DEBUG", BoolToStr(debug));
  visit("FORCEADDRESS", force_address);
  visit("REQUESTCOMPRESSION", BoolToStr(request_compression));
  visit("TIMEOUT", IntToStr(timeout));
  visit("USERTIMEOUT", IntToStr(user_timeout));
}

bool TtarnClientCfg::Debug() { return debug; }
const std::string& TtarnClientCfg::ForceAddress() { return force_address; }
bool TtarnClientCfg::RequestCompression() { return request_compression; }
int32_t TtarnClientCfg::Timeout() { return timeout; }
int32_t TtarnClientCfg::UserTimeout() { return user_timeout; }

}  // namespace tarn
