// Where a settings load reads from: a section of a profile file, or a
// subkey of the registry settings key. Both read integer and boolean text
// with the same rules, so the loads read every key through one interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/portable/ini_file.h"
#include "platform/registry.h"

namespace tarn {

// The registry settings key below HKEY_CURRENT_USER.
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\KESSLAN\\ORVIK";

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  // The key's text, or `fallback` when the source lacks the key.
  virtual std::string ReadString(std::string_view key, std::string_view fallback) = 0;
  // The same, except that a value held as another type than text reads as
  // missing instead of raising.
  virtual std::string ReadStringIfText(std::string_view key, std::string_view fallback) {
    return ReadString(key, fallback);
  }
  int32_t ReadInteger(std::string_view key, int32_t fallback);
  bool ReadBool(std::string_view key, bool fallback);
};

class IniSource final : public SettingsSource {
 public:
  IniSource(const std::string& file, std::string_view section) : file_(file), section_(section) {}
  std::string ReadString(std::string_view key, std::string_view fallback) override;

 private:
  TIniFile file_;
  std::string section_;
};

// Reads the values of one open registry key; a missing key reads as no
// values at all.
class RegistrySource final : public SettingsSource {
 public:
  explicit RegistrySource(const TRegistry* key) : key_(key) {}
  std::string ReadString(std::string_view key, std::string_view fallback) override;
  std::string ReadStringIfText(std::string_view key, std::string_view fallback) override;

 private:
  const TRegistry* key_;
};

// The path of a settings file beside the executable directory `dir`.
std::string SettingsFilePath(const std::string& dir, std::string_view file_name);

}  // namespace tarn
