#include "settings/settings_source.h"

#include "platform/portable/exceptions.h"

namespace tarn {

std::string IniSource::ReadText(const Setting& setting, std::string_view fallback) const {
  if (setting.readers == SettingReaders::kNone) return std::string(fallback);
  return profile_.Value(setting.section->name, setting.key, fallback);
}

std::string RegistrySource::ReadText(const Setting& setting, std::string_view fallback) const {
  switch (setting.readers) {
    case SettingReaders::kFileOnly:
    case SettingReaders::kNone:
      return std::string(fallback);
    case SettingReaders::kRegistryIfText:
      // A hive that cannot be read raises here, before the value's own read.
      if (key_ == nullptr || !key_->ValueExists(setting.key)) return std::string(fallback);
      try {
        return key_->ReadString(setting.key);
      } catch (const ERegistryException&) {
        return std::string(fallback);  // the value exists, so it is of another type
      }
    case SettingReaders::kFileAndRegistry:
      break;
  }
  if (key_ == nullptr) return std::string(fallback);
  return key_->ReadStringValue(setting.key).value_or(std::string(fallback));
}

std::string SettingsFilePath(const std::string& dir, const SettingSection& section) {
  return dir + std::string(section.file);
}

std::string SettingsKeyPath(const SettingSection& section) {
  return std::string(kSettingsKey) + "\\" + std::string(section.name);
}

}  // namespace tarn
