// TIniFile: one profile file changed as a whole: the writes are kept in
// memory until UpdateFile puts them all into the file in one locked
// replacement, each landing as a write of its own would, so that a crash
// leaves the old text or the whole new one. A file released without
// UpdateFile is left as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/profile_file.h"

namespace tarn {

class TIniFile final {
 public:
  explicit TIniFile(std::string file_name) : file_name_(std::move(file_name)) {}
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return file_name_; }

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // UpdateFile writes over this version of the file only (nothing: the
  // file was not there), as WriteProfileValues does with `expected`.
  void Expect(std::optional<FileIdentity> version) { expected_ = version; }

  // Writes every pending write into the file, in order, and flushes it.
  // Raises EIniFileException ("Unable to write to <file>") when the file
  // cannot be written; the file is then unchanged and the writes stay
  // pending.
  void UpdateFile();

 private:
  std::string file_name_;
  std::vector<ProfileEntry> pending_;
  std::optional<std::optional<FileIdentity>> expected_;
};

}  // namespace tarn
