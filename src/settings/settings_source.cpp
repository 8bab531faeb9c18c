#include "settings/settings_source.h"

#include <map>

#include "platform/file_system.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

std::map<std::string, LoadedFileState> loaded_files;

// The file's bytes, noting which version was read or why it could not be.
std::optional<std::string> ReadNoted(const std::string& file) {
  LoadedFileState& state = loaded_files[file] = {};
  FileIdentity identity;
  try {
    std::optional<std::string> bytes = ReadFileBytes(file, &identity);
    if (bytes) state.read = identity;
    return bytes;
  } catch (const EOSError& error) {
    state.unreadable = error.Reason();
    return std::nullopt;
  }
}

}  // namespace

IniSource::IniSource(const std::string& file) : profile_(ReadNoted(file)) {}

LoadedFileState LoadedState(const std::string& file) {
  auto found = loaded_files.find(file);
  return found == loaded_files.end() ? LoadedFileState{} : found->second;
}

bool SettingsFileThere(const std::string& file) {
  if (FileExists(file)) return true;
  loaded_files.erase(file);
  return false;
}

std::vector<std::pair<std::string, std::string>> UnreadableSettingsFiles() {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& [file, state] : loaded_files) {
    if (state.unreadable) files.emplace_back(file, *state.unreadable);
  }
  return files;
}

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
