#include "settings/settings_dump.h"

#include <algorithm>
#include <optional>

#include "platform/display_text.h"
#include "platform/file_system.h"
#include "platform/portable/ascii_text.h"
#include "platform/portable/command_line.h"
#include "platform/portable/int_text.h"
#include "platform/portable/profile_file.h"
#include "settings/setting_values.h"
#include "settings/settings_document.h"

namespace tarn {

namespace {

constexpr const char* kIntroduction[] = {
    "; The settings in %s, as tarn-settings dump printed them. tarn-settings load",
    "; takes this text back and writes only the keys it names. A line \";KEY=VALUE\"",
    "; is a value that the programs take from elsewhere, as its file lacks it.",
};

// The settings of a file's section that a load reads, or none for a
// section that no load reads.
std::span<const Setting> LoadedSettings(std::string_view file, std::string_view section) {
  for (const auto& settings : {ServerSettings(), CounterRangeKeys(), ClientSettings()}) {
    const SettingSection& known = *settings.front().section;
    if (known.file == file && SameAsciiText(known.name, section)) return settings;
  }
  return {};
}

std::string DefaultText(const Setting& setting, const std::string& dir) {
  // The counter-range load takes the folder for an empty path.
  if (setting.id == SettingId::kCounterPath) return DisplayPath(dir);
  return setting.type == SettingType::kText ? std::string() : IntToStr(setting.fallback);
}

class Dump {
 public:
  explicit Dump(const std::string& dir) : dir_(dir) {}

  void File(const SettingSection& known_first) {
    std::string path = dir_ + std::string(known_first.file);
    std::optional<std::string> bytes;
    try {
      bytes = ReadFileBytes(path);
    } catch (const EOSError& error) {
      throw FileArgumentError(path, error.ErrorCode());
    }
    if (!bytes) Comment("; " + std::string(known_first.file) + " is missing.");
    ProfileSnapshot profile(bytes);
    std::vector<ProfileEntry> entries = profile.Entries();
    std::vector<std::string> sections;
    auto add_section = [&](std::string_view name) {
      if (std::ranges::none_of(sections, [&](const std::string& s) { return SameAsciiText(s, name); })) {
        sections.emplace_back(name);
      }
    };
    for (const ProfileEntry& entry : entries) add_section(entry.section);
    for (const auto& settings : {ServerSettings(), CounterRangeKeys(), ClientSettings()}) {
      if (settings.front().section->file == known_first.file) add_section(settings.front().section->name);
    }
    for (const std::string& section : sections) {
      Comment(DocumentHeader(known_first.file, section));
      for (const ProfileEntry& entry : entries) {
        if (entry.section != section) continue;
        lines_.push_back({entry.key + "=" + QuotedWhereNeeded(entry.value), path, entry.key, entry.value,
                          profile.Altered(entry.section, entry.key)});
      }
      Elsewhere(known_first.file, section, entries, !bytes);
    }
  }

  void Comment(std::string text) { lines_.emplace_back().text = std::move(text); }
  std::vector<DumpLine> Lines() && { return std::move(lines_); }

 private:
  // The values of the section that its file lacks: from the registry, where
  // the load reads it for them (the client's always, the others' without
  // their file), else their defaults.
  void Elsewhere(std::string_view file, const std::string& section, const std::vector<ProfileEntry>& entries,
                 bool file_missing) {
    std::span<const Setting> settings = LoadedSettings(file, section);
    if (settings.empty()) return;
    std::vector<SettingRead> reads(settings.size(), SettingRead{{}, false});
    bool registry = file_missing || settings.front().section == &kClientSection;
    TRegistry key(RegAccess::kRead);
    if (registry && key.OpenKeyReadOnly(SettingsKeyPath(*settings.front().section))) {
      reads = ReadSettings(settings, RegistrySource(&key));
    }
    std::vector<std::string> from_registry, defaults;
    for (size_t i = 0; i < settings.size(); ++i) {
      const Setting& setting = settings[i];
      if (setting.readers == SettingReaders::kNone ||
          std::ranges::any_of(entries, [&](const ProfileEntry& entry) {
            return SameAsciiText(entry.section, section) && SameAsciiText(entry.key, setting.key);
          })) {
        continue;
      }
      std::string key_text(setting.key);
      if (reads[i].set) {
        from_registry.push_back(";" + key_text + "=" + QuotedWhereNeeded(reads[i].text));
      } else {
        defaults.push_back(";" + key_text + "=" + QuotedWhereNeeded(DefaultText(setting, dir_)));
      }
    }
    if (!from_registry.empty()) {
      Comment("; Not in the file; from the registry (HKEY_CURRENT_USER\\" + SettingsKeyPath(*settings.front().section) +
              "):");
      for (std::string& line : from_registry) Comment(std::move(line));
    }
    if (!defaults.empty()) {
      Comment("; Not in the file; the defaults:");
      for (std::string& line : defaults) Comment(std::move(line));
    }
  }

  const std::string& dir_;
  std::vector<DumpLine> lines_;
};

}  // namespace

std::vector<DumpLine> DumpSettings(const std::string& dir) {
  Dump dump(dir);
  for (std::string line : kIntroduction) {
    if (size_t at = line.find("%s"); at != std::string::npos) line.replace(at, 2, DisplayPath(dir));
    dump.Comment(std::move(line));
  }
  dump.File(kServerSection);
  dump.File(kClientSection);
  return std::move(dump).Lines();
}

}  // namespace tarn
