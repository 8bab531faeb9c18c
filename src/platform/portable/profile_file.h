// Profile (INI) files, with the observable behaviour of the platform's
// GetPrivateProfileStringA and WritePrivateProfileStringA: case-insensitive
// section and key names, blanks and one outer pair of quotes stripped from
// values, the first matching section and key win, at most 2047 characters
// read, every other byte of the file kept when a key is written.
//
// A file that starts with a UTF-16 byte-order mark is read and written as
// UTF-16 text (profile_text.h); every other file, and a new one, as 8-bit
// text in the program's code page.
//
// Two choices differ from the platform, where it would lose data: a value,
// section or key holding CR or LF is refused (it would inject lines), as is a
// name that could not be read back as written (a key holding '=' or starting
// with ';' or '[', a section holding ']', a tab at a name's end); and a file
// is replaced atomically, keeping its owner, group and permissions, and is
// rewritten in place only where a new file could not take its place (its
// folder may not be written, or the new file would take access from
// someone). A write through a symbolic link changes the link's target, but
// a link that another user placed in a folder others may write is refused
// (ResolveFileLinks), and nothing is ever written through a link put in
// after that check. Writers of one folder follow one another under an
// exclusive lock (FileWriteLock); readers take none.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_ops.h"
#include "platform/portable/profile_text.h"

namespace tarn {

// The largest value the read returns, in characters: the platform copies
// values into a buffer of 2048 bytes.
inline constexpr size_t kProfileValueLimit = 2047;

// The value of `key` in `section` of `file`, or `fallback` (without its
// trailing spaces) when the file, the section or the key is missing, or when
// the file cannot be read.
std::string ReadProfileValue(std::string_view section, std::string_view key,
                             std::string_view fallback, const std::string& file);

struct ProfileLine;

// A profile file read once for many lookups, so that a load reads each file
// once and sees one version of it: each Value answers as ReadProfileValue
// would have for the file as it was read.
class ProfileSnapshot final {
 public:
  // Reads `file`; one that is missing or cannot be read holds no values.
  static ProfileSnapshot Read(const std::string& file);
  // The bytes of a file already read; nothing stands for a missing file.
  explicit ProfileSnapshot(std::optional<std::string> bytes);
  ~ProfileSnapshot();
  // The lines point into the text, which a move could relocate.
  ProfileSnapshot(const ProfileSnapshot&) = delete;
  ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

  std::string Value(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The same, or nothing when the file, the section or the key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // The value whole, past the characters that a read returns.
  std::optional<std::string> Stored(std::string_view section, std::string_view key) const;
  // Every value that reads find, whole: the first section of each name, the
  // first key of each name in it, in the file's order.
  std::vector<struct ProfileEntry> Entries() const;
  // Whether the key's value in a Unicode file has characters that the
  // program's code page cannot hold, so that Find gives their nearest text.
  bool Altered(std::string_view section, std::string_view key) const;

 private:
  // The key's value as the file spells it, its outer quotes gone.
  std::optional<std::string_view> StoredText(std::string_view section, std::string_view key) const;

  ProfileText text_;
  std::vector<ProfileLine> lines_;
};

// Writes `key`=`value` into `section` of `file`, creating the file, the
// section and the key as needed. Raises EIniFileException ("Unable to write
// to <file>") when the file cannot be written, also when it exists and its
// user may not write it; the file is then unchanged.
void WriteProfileValue(std::string_view section, std::string_view key,
                       std::string_view value, const std::string& file);

// One key to write: section, key and value, as WriteProfileValue takes them;
// or, with `remove`, the key to take out of its section, as the platform's
// write of no value does.
struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
  bool remove = false;
};

// `value` as a line must spell it for reads to give it back: between quotes
// when reading would strip blanks at its ends or an outer pair of quotes.
std::string QuotedWhereNeeded(std::string_view value);
// What reads make of a name (`text` without the blanks at its ends: space,
// tab, vertical tab, form feed) and of the text after a key's '=' (the
// same, then without one outer pair of quotes).
std::string_view NameAsRead(std::string_view text);
std::string_view ValueAsRead(std::string_view text);

// Writes every entry into `file`, in order, as one change: each lands
// exactly as WriteProfileValue would put it, except that a value of a
// Unicode file that the program's code page cannot hold stays as it is when
// the entry writes the text it reads as (an unchanged field of a window), and the file is read, changed
// and replaced once under the writers' lock, so that a crash leaves the old
// text or the whole new one. Raises EIniFileException ("Unable to write to
// <file>", followed by the reason when the program itself refused the write:
// EWriteRefused) when any entry cannot be written or the file cannot be; the
// file is then unchanged. The file's calls go through `ops`.
//
// With `expected`, the version of the file that the caller read and means
// to change (nothing for a file that was not there), a file found otherwise
// under the lock is left as it is: EWriteRefused (ChangedFileError).
void WriteProfileValues(const std::string& file, std::span<const ProfileEntry> entries,
                        FileOps& ops = PlatformFileOps(),
                        const std::optional<std::optional<FileIdentity>>& expected = std::nullopt);

// The bytes that WriteProfileValues would make of `old` (a file's bytes,
// nothing for a missing file), without writing; raises as it does.
std::string ProfileBytesWith(const std::string& file, const std::optional<std::string>& old,
                             std::span<const ProfileEntry> entries);

// Makes `file` current on disk. Every write above is already complete and
// flushed when it returns, so this has nothing left to do on POSIX.
void FlushPrivateProfile(const std::string& file);

}  // namespace tarn
