// Where a settings load reads from: a settings file, or the registry key of
// one section. Each answers for a setting as its description says it holds
// it, so that the loads read every key through one walk of the table.
#pragma once

#include <string>
#include <string_view>

#include "platform/portable/profile_file.h"
#include "platform/registry.h"
#include "settings/setting_table.h"

namespace tarn {

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  // The setting's text, or `fallback` when the source lacks it or never
  // holds it.
  virtual std::string ReadText(const Setting& setting, std::string_view fallback) const = 0;
};

// The setting's section of a profile file, read once when the source is made.
class IniSource final : public SettingsSource {
 public:
  explicit IniSource(const std::string& file) : profile_(ProfileSnapshot::Read(file)) {}
  std::string ReadText(const Setting& setting, std::string_view fallback) const override;

 private:
  ProfileSnapshot profile_;
};

// The values of one open registry key (a section's subkey); a key that did
// not open reads as no values at all. A value of another type than text
// raises "Invalid data type for '<key>'", except where the setting reads it
// as missing.
class RegistrySource final : public SettingsSource {
 public:
  explicit RegistrySource(const TRegistry* key) : key_(key) {}
  std::string ReadText(const Setting& setting, std::string_view fallback) const override;

 private:
  const TRegistry* key_;
};

// Whether a load creates the settings key it would read when the key is
// missing, as the program's start-up does, or leaves the registry as it is
// (a listing of what the program would load).
enum class SettingsKeyUse { kCreateWhenMissing, kReadOnly };

// The path of a section's settings file beside the executable directory
// `dir` (with its trailing separator).
std::string SettingsFilePath(const std::string& dir, const SettingSection& section);

// The path of a section's registry key.
std::string SettingsKeyPath(const SettingSection& section);

}  // namespace tarn
