// The current user's registry hive (HKEY_CURRENT_USER): keys holding named
// values, read and written through TRegistry.
//
// On POSIX the hive is one text file in the Registry Editor export format
// ("Windows Registry Editor Version 5.00"), kept at
// ${XDG_CONFIG_HOME:-$HOME/.config}/tarn/registry.reg. Every operation sees
// the file as it is now, parsing it only when it has changed since this
// process last read or wrote it; every change takes the writers' lock and
// replaces the file atomically, so two processes changing it at once lose
// nothing. A file that cannot be parsed raises ERegistryException naming the
// file and the line, and is never overwritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// Path of the file that holds the hive on POSIX.
std::string RegistryFilePath();

enum class RegAccess { kRead, kAll };

class TRegistry final {
 public:
  explicit TRegistry(RegAccess access = RegAccess::kAll) : access_(access) {}
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Opens a key given by its path below the hive (separated by backslashes).
  // A missing key is created when `can_create` is true and the access
  // allows it; otherwise the result is false.
  bool OpenKey(std::string_view key, bool can_create);
  bool OpenKeyReadOnly(std::string_view key);
  bool KeyExists(std::string_view key) const;

  // Values of the open key. A missing value reads as empty text; a value
  // that is not a string raises "Invalid data type for '<name>'".
  bool ValueExists(std::string_view name) const;
  std::string ReadString(std::string_view name) const;
  // The same, or nothing when the value is missing.
  std::optional<std::string> ReadStringValue(std::string_view name) const;
  void WriteString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, uint32_t value);  // a DWORD value

  // Names of the open key's subkeys, in the hive's order.
  std::vector<std::string> GetKeyNames() const;

  // Deletes a key and everything below it, depth-first, the subkeys from
  // the last to the first. False when the key did not exist or could not be
  // deleted.
  bool DeleteKey(std::string_view key);

 private:
  RegAccess access_;
  std::string current_;
  bool open_ = false;
};

}  // namespace tarn
