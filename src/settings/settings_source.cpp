#include "settings/settings_source.h"

#include "platform/portable/exceptions.h"
#include "platform/portable/int_text.h"

namespace tarn {

int32_t SettingsSource::ReadInteger(std::string_view key, int32_t fallback) {
  return StrToIntDef(ReadString(key, ""), fallback);
}

bool SettingsSource::ReadBool(std::string_view key, bool fallback) {
  return StrToBoolDef(ReadString(key, ""), fallback);
}

std::string IniSource::ReadString(std::string_view key, std::string_view fallback) {
  return file_.ReadString(section_, key, fallback);
}

std::string RegistrySource::ReadString(std::string_view key, std::string_view fallback) {
  if (key_ == nullptr) return std::string(fallback);
  return key_->ReadStringValue(key).value_or(std::string(fallback));
}

std::string RegistrySource::ReadStringIfText(std::string_view key, std::string_view fallback) {
  // A hive that cannot be read raises here, before the value's own read.
  if (key_ == nullptr || !key_->ValueExists(key)) return std::string(fallback);
  try {
    return key_->ReadString(key);
  } catch (const ERegistryException&) {
    return std::string(fallback);  // the value exists, so it is of another type
  }
}

std::string SettingsFilePath(const std::string& dir, std::string_view file_name) {
  return dir + std::string(file_name);
}

}  // namespace tarn
