// tarn-settings: shows administrators what the environment will read, and
// reads and writes settings for their scripts and for configuration
// management.
//
//   tarn-settings                              every loaded value, SECTION.key=value
//   tarn-settings get FILE SECTION KEY [DEFAULT]  one profile value as stored
//   tarn-settings set FILE SECTION KEY VALUE      writes one profile value
//   tarn-settings dump [DIR]                      both settings files as a document
//   tarn-settings load [--check] DOCUMENT|- [DIR] writes a document's keys
//
// The loads read from beside this executable and from the current user's
// registry, as the settings tool does, but create nothing there. Names and
// values are converted between the user's character set and the program's
// Windows-1252 text; a value is printed exactly as stored, so that what get
// prints, set stores back byte for byte.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/display_text.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/input_stream.h"
#include "platform/portable/command_line.h"
#include "platform/portable/profile_file.h"
#include "settings/client_cfg.h"
#include "settings/counter_range.h"
#include "settings/server_cfg.h"
#include "settings/settings_dump.h"
#include "settings/settings_load.h"
#include "settings/settings_source.h"

namespace {

constexpr tarn::ProgramUsage kUsage{
    "tarn-settings",
    "usage: tarn-settings\n"
    "       tarn-settings get FILE SECTION KEY [DEFAULT]\n"
    "       tarn-settings set FILE SECTION KEY VALUE\n"
    "       tarn-settings dump [DIR]\n"
    "       tarn-settings load [--check] DOCUMENT|- [DIR]\n",
    "With no arguments, prints every value the settings tool would load, as\n"
    "SECTION.key=value. get prints one value of a profile file as it is stored\n"
    "(without a DEFAULT, a missing file, section or key fails with status 1),\n"
    "and set writes one. dump prints both settings files of DIR (by default the\n"
    "program's folder) as a document that load takes back; load writes the keys\n"
    "that a document (a file, or - for standard input) names into the files of\n"
    "DIR, each file in one replacement. --check writes nothing and prints what\n"
    "would change as a unified diff. load ends with status 0 when nothing\n"
    "changes, 3 when something changes (or would), 1 when it fails.\n"};

// load's status when it changed something, or would.
constexpr int kChanged = 3;

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

// Why a stored value cannot be printed as it is, or nothing. Its nearest
// text would pass for the value, and a script would store it.
std::optional<std::string> Unprintable(const std::string& value, bool altered) {
  if (altered) return "has characters that the program's code page cannot hold";
  if (!tarn::TerminalTextExactly(value)) {
    return "has characters that " + tarn::TypedCharset(tarn::TypedFrom::kStream) + " cannot hold";
  }
  return std::nullopt;
}

// A settings folder named on the command line, with its trailing separator.
std::string FolderArgument(const std::vector<std::string>& arguments, size_t index) {
  if (arguments.size() <= index) return tarn::ExeDir();
  std::string dir = arguments[index];
  if (dir.empty() || std::string_view(tarn::kPathDelimiters).find(dir.back()) == std::string_view::npos) {
    dir += tarn::kPathDelim;
  }
  return dir;
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
// without a default, and so does a value that cannot be printed as it is
// stored. Without a default, a script must be able to tell a missing value
// from an empty one: a missing file, section or key fails with "KEY: not
// found in FILE". The value is printed whole: the window's limit of 2,047
// characters is a limit of its reads, not of what is stored.
int PrintValue(const std::string& file, const std::string& section, const std::string& key,
               const std::optional<std::string>& fallback) {
  std::optional<std::string> bytes;
  try {
    bytes = tarn::ReadFileBytes(file);
  } catch (const tarn::EOSError& error) {
    throw tarn::FileArgumentError(file, error.ErrorCode());
  }
  tarn::ProfileSnapshot profile(std::move(bytes));
  std::optional<std::string> value = profile.Stored(section, key);
  if (!value && !fallback) {
    PrintError(key + ": not found in " + tarn::DisplayPath(file));
    return 1;
  }
  if (!value) {
    PrintLine(profile.Value(section, key, *fallback));
    return 0;
  }
  std::optional<std::string> why = Unprintable(*value, profile.Altered(section, key));
  // No command line carries a NUL: a script would store the value cut.
  if (!why && value->find('\0') != std::string::npos) why = "holds a NUL character, which no command line can carry";
  if (why) {
    PrintError(key + ": its value in " + tarn::DisplayPath(file) + " " + *why);
    return 1;
  }
  PrintLine(*value);
  return 0;
}

// A value that the file already holds is not written again: its line keeps
// its spelling and the file its modification time.
int SetValue(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
  std::vector<tarn::DocumentEntry> entry{{tarn::ExtractFileName(file), {section, key, value}}};
  std::vector<tarn::FileLoad> loads = tarn::PlanLoad(tarn::ExtractFilePath(file), entry);
  tarn::ApplyLoad(loads);
  tarn::FlushPrivateProfile(file);
  return 0;
}

int Dump(const std::string& dir) {
  std::vector<tarn::DumpLine> lines = tarn::DumpSettings(dir);
  for (const tarn::DumpLine& line : lines) {
    if (line.key.empty()) continue;
    if (std::optional<std::string> why = Unprintable(line.value, line.altered)) {
      PrintError(line.key + ": its value in " + tarn::DisplayPath(line.file) + " " + *why);
      return 1;
    }
  }
  for (const tarn::DumpLine& line : lines) PrintLine(line.text);
  return 0;
}

std::string ReadDocument(const std::string& name) {
  std::string bytes;
  try {
    std::optional<tarn::InputStream> file;
    tarn::InputStream standard_input;
    if (name != "-") file.emplace(name);
    tarn::InputStream& input = file ? *file : standard_input;
    char block[1 << 16];
    while (size_t got = input.Read(block, sizeof block)) bytes.append(block, got);
  } catch (const tarn::EOSError& error) {
    throw tarn::FileArgumentError(name, error.ErrorCode());
  }
  return bytes;
}

int Load(const std::string& document, const std::string& dir, bool check) {
  std::string name = document == "-" ? "standard input" : tarn::DisplayPath(document);
  std::vector<tarn::FileLoad> loads = tarn::PlanLoad(dir, tarn::ReadSettingsDocument(ReadDocument(document), name));
  bool changed = false;
  for (const tarn::FileLoad& load : loads) {
    changed = changed || !load.changes.empty();
    if (!check) continue;
    for (const std::string& line : tarn::LoadDiff(load)) PrintLine(line);
  }
  if (!check) tarn::ApplyLoad(loads);
  return changed ? kChanged : 0;
}

void ReportLockWaits() {
  tarn::SetLockWait({.notice = [](const std::string& path) {
    tarn::WriteStandardStreamText(tarn::StandardStream::kError,
                                  std::string(kUsage.name) + ": another program is saving " +
                                      tarn::DisplayPath(path) + "; waiting\n");
  }});
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
      ReportLockWaits();
      return SetValue(arguments[1], tarn::ArgumentText(arguments[2]), tarn::ArgumentText(arguments[3]),
                      tarn::ArgumentText(arguments[4]));
    }
    if (command == "dump" && arguments.size() <= 2) return Dump(FolderArgument(arguments, 1));
    bool check = arguments.size() > 1 && arguments[1] == "--check";
    size_t document = check ? 2 : 1;
    if (command == "load" && arguments.size() > document && arguments.size() <= document + 2) {
      ReportLockWaits();
      return Load(arguments[document], FolderArgument(arguments, document + 1), check);
    }
    return tarn::WrongCommandLine(kUsage);
  });
}
