#include "settings/settings_source.h"

#include "platform/int_text.h"

namespace tarn {

int32_t SettingsSource::ReadInteger(std::string_view key, int32_t fallback) {
  return StrToIntDef(ReadString(key, ""), fallback);
}

bool SettingsSource::ReadBool(std::string_view key, bool fallback) {
  return ReadInteger(key, fallback ? 1 : 0) != 0;
}

std::string IniSource::ReadString(std::string_view key, std::string_view fallback) {
  return file_.ReadString(section_, key, fallback);
}

std::string RegistrySource::ReadString(std::string_view key, std::string_view fallback) {
  if (key_ == nullptr || !key_->ValueExists(key)) return std::string(fallback);
  return key_->ReadString(key);
}

std::string SettingsFilePath(const std::string& dir, std::string_view file_name) {
  return dir + std::string(file_name);
}

}  // namespace tarn
