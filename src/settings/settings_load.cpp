#include "settings/settings_load.h"

#include <algorithm>

#include "platform/display_text.h"
#include "platform/file_system.h"
#include "platform/portable/command_line.h"
#include "platform/portable/profile_text.h"
#include "settings/unified_diff.h"

namespace tarn {

namespace {

FileLoad PlanFile(const std::string& dir, const std::string& file, const std::vector<DocumentEntry>& document) {
  FileLoad load{dir + file, {}, {}, {}};
  // Read as the write will find it: through the links that it would
  // follow, and no other, so that a diff never shows a file that another
  // user's link leads to.
  try {
    load.before = ReadFileBytes(ResolveFileLinks(load.path));
  } catch (const EWriteRefused& refusal) {
    throw IniWriteError(load.path, refusal);
  } catch (const EOSError& error) {
    throw IniWriteError(load.path, error);
  }
  ProfileSnapshot profile(load.before);
  for (const DocumentEntry& named : document) {
    if (named.file != file) continue;
    const ProfileEntry& entry = named.entry;
    std::optional<std::string> stored = profile.Stored(entry.section, entry.key);
    if (entry.remove ? !stored : stored == entry.value) continue;
    load.changes.push_back(entry);
    load.changes.back().value = QuotedWhereNeeded(entry.value);
  }
  if (!load.changes.empty()) load.after = ProfileBytesWith(load.path, load.before, load.changes);
  return load;
}

// A file's lines in program text, without their line ends.
std::vector<std::string> ProgramLines(const std::optional<std::string>& bytes) {
  std::vector<std::string> lines;
  if (!bytes) return lines;
  ProfileText text = DecodeProfile(*bytes);
  std::string_view rest = text.text;
  while (!rest.empty()) {
    size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    lines.push_back(FromProfileText(text.encoding, rest.substr(0, end)));
    rest.remove_prefix(end);
    if (rest.starts_with("\r\n")) {
      rest.remove_prefix(2);
    } else if (!rest.empty()) {
      rest.remove_prefix(1);
    }
  }
  return lines;
}

}  // namespace

std::vector<FileLoad> PlanLoad(const std::string& dir, const std::vector<DocumentEntry>& document) {
  std::vector<FileLoad> loads;
  std::vector<std::string> files;
  for (const DocumentEntry& named : document) {
    if (std::ranges::none_of(files, [&](const std::string& file) { return file == named.file; })) {
      files.push_back(named.file);
      loads.push_back(PlanFile(dir, named.file, document));
    }
  }
  return loads;
}

std::vector<std::string> LoadDiff(const FileLoad& load) {
  if (load.changes.empty()) return {};
  std::vector<std::string> lines{"--- " + (load.before ? DisplayPath(load.path) : "/dev/null"),
                                 "+++ " + DisplayPath(load.path)};
  std::vector<std::string> hunks = UnifiedDiffHunks(ProgramLines(load.before), ProgramLines(load.after));
  lines.insert(lines.end(), hunks.begin(), hunks.end());
  return lines;
}

void ApplyLoad(const std::vector<FileLoad>& loads) {
  for (const FileLoad& load : loads) {
    if (!load.changes.empty()) WriteProfileValues(load.path, load.changes);
  }
}

}  // namespace tarn
