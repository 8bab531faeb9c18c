// tarn-settings: shows administrators what the environment will read.
//
//   tarn-settings                              every loaded value, SECTION.key=value
//   tarn-settings get FILE SECTION KEY [DEFAULT]  one profile value as read
//   tarn-settings set FILE SECTION KEY VALUE      writes one profile value
//
// The loads read from beside this executable and from the current user's
// registry, as the settings tool does, but create nothing there. Typed
// names and values are converted from the terminal's encoding into the
// program's Windows-1252 text, and values are printed back as the terminal
// shows text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/display_text.h"
#include "platform/portable/command_line.h"
#include "platform/portable/profile_file.h"
#include "settings/client_cfg.h"
#include "settings/counter_range.h"
#include "settings/server_cfg.h"
#include "settings/settings_source.h"

namespace {

constexpr tarn::ProgramUsage kUsage{
    "tarn-settings",
    "usage: tarn-settings\n"
    "       tarn-settings get FILE SECTION KEY [DEFAULT]\n"
    "       tarn-settings set FILE SECTION KEY VALUE\n",
    "With no arguments, prints every value the settings tool would load, as\n"
    "SECTION.key=value; get prints one value of a profile file as the tool reads\n"
    "it (without a DEFAULT, a missing file, section or key fails with status 1),\n"
    "and set writes one.\n"};

void PrintLine(std::string_view text) {
  tarn::WriteOutputText(text);
  tarn::WriteOutput("\n");
}

void PrintSection(const char* section, std::string_view key, const std::string& text) {
  PrintLine(std::string(section) + "." + std::string(key) + "=" + text);
}

void PrintError(const std::string& text) {
  tarn::WriteStandardStreamText(tarn::StandardStream::kError,
                                tarn::EscapeControlCharacters(std::string(kUsage.name) + ": " + text) + "\n");
}

// A settings file that is there but cannot be read (another program holds
// it, its user may not read it) would list as defaults: it fails instead.
int PrintLoadedValues() {
  std::string dir = tarn::ExeDir();
  tarn::TtarnServerCfg::LoadFrom(dir);
  tarn::CounterRangeSettings::LoadFrom(dir, tarn::SettingsKeyUse::kReadOnly);
  tarn::TtarnClientCfg::LoadFrom(dir, tarn::SettingsKeyUse::kReadOnly);
  if (auto unreadable = tarn::UnreadableSettingsFiles(); !unreadable.empty()) {
    for (const auto& [file, reason] : unreadable) PrintError(tarn::DisplayPath(file) + ": " + reason);
    return 1;
  }
  tarn::TtarnServerCfg::ForEachValue([](auto key, auto& text) { PrintSection("SERVER", key, text); });
  tarn::CounterRangeSettings::ForEachValue([](auto key, auto& text) { PrintSection("QUORVAN", key, text); });
  tarn::TtarnClientCfg::ForEachValue([](auto key, auto& text) { PrintSection("CLIENT", key, text); });
  return 0;
}

// A file that exists but cannot be read fails with its reason, with or
// without a default, and so does a value the program's text cannot hold. Without one, a script must be able to tell a missing
// value from an empty one: a missing file, section or key fails with "KEY:
// not found in FILE".
int PrintValue(const std::string& file, const std::string& section, const std::string& key,
               const std::optional<std::string>& fallback) {
  std::optional<std::string> bytes;
  try {
    bytes = tarn::ReadFileBytes(file);
  } catch (const tarn::EOSError& error) {
    throw tarn::FileArgumentError(file, error.ErrorCode());
  }
  tarn::ProfileSnapshot profile(std::move(bytes));
  // Its nearest text would pass for the value, and a script would store it.
  if (profile.Altered(section, key)) {
    PrintError(key + ": its value in " + tarn::DisplayPath(file) +
               " has characters that the program's code page cannot hold");
    return 1;
  }
  if (fallback) {
    PrintLine(profile.Value(section, key, *fallback));
    return 0;
  }
  if (std::optional<std::string> value = profile.Find(section, key)) {
    PrintLine(*value);
    return 0;
  }
  PrintError(key + ": not found in " + tarn::DisplayPath(file));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  return tarn::RunProgram(kUsage, argc, argv, [](const std::vector<std::string>& arguments) {
    if (arguments.empty()) return PrintLoadedValues();
    const std::string& command = arguments[0];
    if (command == "get" && (arguments.size() == 4 || arguments.size() == 5)) {
      std::string section = tarn::ArgumentText(arguments[2]);
      std::string key = tarn::ArgumentText(arguments[3]);
      std::optional<std::string> fallback;
      if (arguments.size() == 5) fallback = tarn::ArgumentText(arguments[4]);
      return PrintValue(arguments[1], section, key, fallback);
    }
    if (command == "set" && arguments.size() == 5) {
      tarn::SetLockWait({.notice = [](const std::string& path) {
        tarn::WriteStandardStreamText(tarn::StandardStream::kError,
                                      std::string(kUsage.name) + ": another program is saving " +
                                          tarn::DisplayPath(path) + "; waiting\n");
      }});
      tarn::WriteProfileValue(tarn::ArgumentText(arguments[2]), tarn::ArgumentText(arguments[3]),
                              tarn::ArgumentText(arguments[4]), arguments[1]);
      tarn::FlushPrivateProfile(arguments[1]);
      return 0;
    }
    return tarn::WrongCommandLine(kUsage);
  });
}
