// Where a settings load reads from: a settings file, or the registry key of
// one section. Each answers for a setting as its description says it holds
// it, so that the loads read every key through one walk of the table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_ops.h"
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
// A file that is there but cannot be read gives no values, and is noted
// (LoadedFileState) so that nothing is written over what was not read.
class IniSource final : public SettingsSource {
 public:
  explicit IniSource(const std::string& file);
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

// What the loads found of a settings file: the version they read, or why a
// file that is there could not be read; neither when no load read it, which
// the loads do only for a file that is there.
struct LoadedFileState {
  std::optional<FileIdentity> read;
  std::optional<std::string> unreadable;
};
LoadedFileState LoadedState(const std::string& file);
// Whether the settings file is there for a load to read; a missing one is
// noted as read by no load.
bool SettingsFileThere(const std::string& file);
// Every settings file that the loads found but could not read, with the
// system's reason.
std::vector<std::pair<std::string, std::string>> UnreadableSettingsFiles();

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
