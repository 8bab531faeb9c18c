#include "platform/portable/profile_file.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "platform/portable/ascii_text.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_text.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"

namespace tarn {

// One line of a profile file's text, as the reads and the writes see it.
struct ProfileLine {
  enum class Kind { kOther, kSection, kKey };
  size_t begin;  // first byte of the line
  size_t end;    // first byte of its line break (or the end of the file)
  size_t next;   // first byte of the following line
  Kind kind = Kind::kOther;
  std::string_view name;   // section or key name, as spelled in the file
  std::string_view value;  // key value, blanks stripped, quotes kept
};

namespace {

using LineKind = ProfileLine::Kind;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Arguments lose spaces at their ends, but not tabs.
std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

ProfileLine Classify(std::string_view bytes, size_t begin, size_t end, size_t next) {
  ProfileLine line{begin, end, next, LineKind::kOther, {}, {}};
  std::string_view text = TrimBlanks(bytes.substr(begin, end - begin));
  if (text.empty() || text.front() == ';') return line;
  if (text.front() == '[') {
    text.remove_prefix(1);
    line.kind = LineKind::kSection;
    line.name = TrimBlanks(text.substr(0, text.find(']')));
    return line;
  }
  size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = LineKind::kKey;
  line.name = TrimBlanks(text.substr(0, equals));
  line.value = TrimBlanks(text.substr(equals + 1));
  return line;
}

// CR LF, LF and a lone CR all end a line; a UTF-8 byte-order mark at the
// start is skipped, as editors add one and the first section would
// otherwise be lost.
std::vector<ProfileLine> SplitLines(std::string_view bytes) {
  std::vector<ProfileLine> lines;
  size_t pos = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    size_t next;
    if (end == std::string_view::npos) {
      end = next = bytes.size();
    } else {
      next = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    lines.push_back(Classify(bytes, pos, end, next));
    pos = next;
  }
  return lines;
}

struct Found {
  std::optional<size_t> section;  // index of the section's header line
  std::optional<size_t> key;      // index of the key's line
  size_t last_in_section = 0;     // header or last key line of the section
};

Found Locate(const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key) {
  Found found;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::kSection && SameAsciiText(lines[i].name, section)) {
      found.section = found.last_in_section = i;
      break;
    }
  }
  if (!found.section) return found;
  for (size_t i = *found.section + 1; i < lines.size() && lines[i].kind != LineKind::kSection; ++i) {
    if (lines[i].kind != LineKind::kKey) continue;
    if (SameAsciiText(lines[i].name, key)) {
      found.key = i;
      return found;
    }
    found.last_in_section = i;
  }
  return found;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// A name that the file could not give back as written: a line break, a blank
// that reading would strip, or (for a key) a character that would make its
// line a comment, a section header or a different key.
bool IsUnwritableName(std::string_view name, bool key) {
  if (HasLineBreak(name)) return true;
  if (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back()))) return true;
  if (!key) return name.find(']') != std::string_view::npos;
  return name.find('=') != std::string_view::npos || name.starts_with(';') || name.starts_with('[');
}

// A file's text as the program reads it, back in the file's text: the text
// itself unless a Unicode file holds characters the code page lacks.
std::string AsRead(ProfileEncoding encoding, std::string_view stored) {
  return ToProfileText(encoding, FromProfileText(encoding, stored));
}

// A Unicode file's value that the program's code page cannot hold is read
// as its nearest program text; writing that text back unchanged must not
// replace the characters it stands for.
bool IsReadingOf(ProfileEncoding encoding, std::string_view stored, std::string_view value) {
  return stored != value && AsRead(encoding, stored) == value;
}

// Writes one entry into the text of a file, in memory; `section`, `key` and
// `value` are the file's text.
void ApplyEntry(ProfileText& text, std::string_view section, std::string_view key, std::string_view value,
                bool remove) {
  std::string& bytes = text.text;
  std::vector<ProfileLine> lines = SplitLines(bytes);
  Found found = Locate(lines, section, key);
  std::string entry = std::string(key) + "=" + std::string(value);
  if (remove) {
    if (found.key) bytes.erase(lines[*found.key].begin, lines[*found.key].next - lines[*found.key].begin);
  } else if (found.key) {
    const ProfileLine& line = lines[*found.key];
    if (IsReadingOf(text.encoding, StripQuotes(line.value), value)) return;
    bytes.replace(line.begin, line.end - line.begin, std::string(line.name) + "=" + std::string(value));
  } else if (found.section) {
    const ProfileLine& after = lines[found.last_in_section];
    bool unterminated = after.next == after.end;
    bytes.insert(after.next, (unterminated ? "\r\n" : "") + entry + "\r\n");
  } else {
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
    bytes += "[" + std::string(section) + "]\r\n" + entry + "\r\n";
  }
}

}  // namespace

ProfileSnapshot ProfileSnapshot::Read(const std::string& file) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileBytes(file);
  } catch (const EOSError&) {
    // A file that cannot be read gives the defaults, as a missing one does.
  }
  return ProfileSnapshot(std::move(bytes));
}

ProfileSnapshot::ProfileSnapshot(std::optional<std::string> bytes) {
  if (!bytes) return;
  text_ = DecodeProfile(std::move(*bytes));
  lines_ = SplitLines(text_.text);
}

ProfileSnapshot::~ProfileSnapshot() = default;

std::optional<std::string> ProfileSnapshot::Find(std::string_view section, std::string_view key) const {
  std::optional<std::string> value = Stored(section, key);
  if (value) value->resize(std::min(value->size(), kProfileValueLimit));
  return value;
}

std::optional<std::string_view> ProfileSnapshot::StoredText(std::string_view section, std::string_view key) const {
  Found found = Locate(lines_, ToProfileText(text_.encoding, TrimSpaces(section)),
                       ToProfileText(text_.encoding, TrimSpaces(key)));
  if (!found.key) return std::nullopt;
  return StripQuotes(lines_[*found.key].value);
}

std::optional<std::string> ProfileSnapshot::Stored(std::string_view section, std::string_view key) const {
  std::optional<std::string_view> stored = StoredText(section, key);
  if (!stored) return std::nullopt;
  return FromProfileText(text_.encoding, *stored);
}

std::vector<ProfileEntry> ProfileSnapshot::Entries() const {
  auto upper = [](std::string_view name) {
    std::string text(name);
    for (char& c : text) c = AsciiUpper(c);
    return text;
  };
  std::vector<ProfileEntry> entries;
  std::set<std::string> sections, keys;
  bool searched = false;  // whether reads search the current section
  std::string_view section;
  for (const ProfileLine& line : lines_) {
    if (line.kind == LineKind::kSection) {
      searched = sections.insert(upper(line.name)).second;
      section = line.name;
      keys.clear();
    } else if (line.kind == LineKind::kKey && searched && keys.insert(upper(line.name)).second) {
      entries.push_back({FromProfileText(text_.encoding, section), FromProfileText(text_.encoding, line.name),
                         FromProfileText(text_.encoding, StripQuotes(line.value))});
    }
  }
  return entries;
}

bool ProfileSnapshot::Altered(std::string_view section, std::string_view key) const {
  std::optional<std::string_view> stored = StoredText(section, key);
  return stored && AsRead(text_.encoding, *stored) != *stored;
}

std::string ProfileSnapshot::Value(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::optional<std::string> found = Find(section, key);
  if (found) return *found;
  return std::string(fallback.substr(0, fallback.find_last_not_of(' ') + 1)).substr(0, kProfileValueLimit);
}

std::string ReadProfileValue(std::string_view section, std::string_view key,
                             std::string_view fallback, const std::string& file) {
  return ProfileSnapshot::Read(file).Value(section, key, fallback);
}

std::string QuotedWhereNeeded(std::string_view value) {
  bool blank_end = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  if (!blank_end && StripQuotes(value).size() == value.size()) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

std::string_view NameAsRead(std::string_view text) { return TrimBlanks(text); }

std::string_view ValueAsRead(std::string_view text) { return StripQuotes(TrimBlanks(text)); }

namespace {

void RefuseUnwritable(const std::string& file, std::span<const ProfileEntry> entries) {
  for (const ProfileEntry& entry : entries) {
    if (IsUnwritableName(TrimSpaces(entry.section), false) || IsUnwritableName(TrimSpaces(entry.key), true) ||
        HasLineBreak(entry.value)) {
      throw IniWriteError(file);
    }
  }
}

// The new bytes of a file whose entries are all writable.
std::string WithEntries(const std::string& file, const std::optional<std::string>& old,
                        std::span<const ProfileEntry> entries) {
  ProfileText text = DecodeProfile(old.value_or(std::string()));
  // A Unicode file stays one, or is not written: never a mixed file.
  if (!text.whole) throw IniWriteError(file);
  for (const ProfileEntry& entry : entries) {
    ApplyEntry(text, ToProfileText(text.encoding, TrimSpaces(entry.section)),
               ToProfileText(text.encoding, TrimSpaces(entry.key)), ToProfileText(text.encoding, entry.value),
               entry.remove);
  }
  return EncodeProfile(text);
}

}  // namespace

std::string ProfileBytesWith(const std::string& file, const std::optional<std::string>& old,
                             std::span<const ProfileEntry> entries) {
  RefuseUnwritable(file, entries);
  return WithEntries(file, old, entries);
}

void WriteProfileValues(const std::string& file, std::span<const ProfileEntry> entries, FileOps& ops,
                        const std::optional<std::optional<FileIdentity>>& expected) {
  RefuseUnwritable(file, entries);
  try {
    // A link keeps pointing at its target, which takes the new text.
    std::string target = ResolveFileLinks(file);
    FileWriteLock lock(target);
    FileIdentity read;
    std::optional<std::string> old = ReadFileBytes(target, &read, ops);
    if (expected && *expected != (old ? std::optional(read) : std::nullopt)) throw ChangedFileError(file);
    if (old && !MayWriteFile(target)) throw IniWriteError(file);
    std::string bytes = WithEntries(file, old, entries);
    if (CanReplaceFile(target)) {
      ReplaceFileAtomically(target, bytes, ops);
    } else {
      // A writable file in a folder that may not be written, or one that a
      // new file could not stand in for, is rewritten where it stands, as
      // the platform does. This path is not crash-safe: a crash midway
      // leaves a torn file.
      OverwriteFileInPlace(target, bytes, ops);
    }
  } catch (const EWriteRefused& refusal) {
    throw IniWriteError(file, refusal);
  } catch (const EOSError& error) {
    throw IniWriteError(file, error);
  }
}

void WriteProfileValue(std::string_view section, std::string_view key,
                       std::string_view value, const std::string& file) {
  const ProfileEntry entry{std::string(section), std::string(key), std::string(value)};
  WriteProfileValues(file, {&entry, 1});
}

void FlushPrivateProfile(const std::string&) {}

}  // namespace tarn
