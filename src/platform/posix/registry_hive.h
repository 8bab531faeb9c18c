// The current user's registry hive in memory: keys below HKEY_CURRENT_USER,
// each holding named values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/hash_index.h"

namespace tarn {

enum RegType : uint32_t {
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

struct RegValue {
  std::string name;  // empty for the key's default value ("@")
  uint32_t type = kRegSz;
  std::string text;   // the data of a kRegSz value
  std::string bytes;  // the raw data of every other type
};

// Key and value names compare without regard to ASCII case.
bool SameRegName(std::string_view a, std::string_view b);

// Calls `visit` with each name of a backslash-separated key path, skipping
// empty ones, until it returns false; false when it did.
template <class Visit>
bool ForEachRegName(std::string_view path, Visit&& visit) {
  for (size_t begin = 0; begin < path.size();) {
    size_t end = path.find('\\', begin);
    if (end == std::string_view::npos) end = path.size();
    if (end > begin && !visit(path.substr(begin, end - begin))) return false;
    begin = end + 1;
  }
  return true;
}

// Names keep the spelling they were first given. A key is found through a
// hash table by its parent and its name, and a value by its key and its
// name, so that finding or adding either costs the length of its path,
// whatever the hive's shape.
class RegHive {
 public:
  using KeyId = uint32_t;
  static constexpr KeyId kRoot = 0;  // HKEY_CURRENT_USER itself

  RegHive();

  // The key at `path` (names separated by backslashes; separators at the
  // ends and runs of them are ignored), or nothing; the root for "".
  std::optional<KeyId> FindKey(std::string_view path) const;
  // The same, adding the key and every missing parent.
  KeyId EnsureKey(std::string_view path);
  // The subkey `name` of `parent`, added when missing. A key is listed
  // (written out even when it holds nothing and has subkeys) when it is
  // added with `listed` or marked so later: a parse lists only the keys that
  // the file lists, so that writing the hive back gives text no longer than
  // the file.
  KeyId EnsureSubKey(KeyId parent, std::string_view name, bool listed);
  void MarkListed(KeyId key) { keys_[key].listed = true; }
  // Removes a key other than the root with everything below it.
  void RemoveKey(KeyId key);

  const std::string& Name(KeyId key) const { return keys_[key].name; }
  bool Listed(KeyId key) const { return keys_[key].listed; }
  bool HasSubKeys(KeyId key) const { return !keys_[key].children.empty(); }
  // The subkeys of `key`, ordered by name without regard to case.
  std::vector<KeyId> SubKeys(KeyId key) const;

  // The values of `key` in the order they were added.
  const std::vector<RegValue>& Values(KeyId key) const { return keys_[key].values; }
  const RegValue* FindValue(KeyId key, std::string_view name) const;
  // Replaces the value of the same name where it stands, or adds it last.
  void SetValue(KeyId key, RegValue value);

  // Makes room for `count` more keys at once.
  void ReserveKeys(size_t count);

 private:
  struct Key {
    std::string name;
    KeyId parent = kRoot;
    bool listed = true;
    bool removed = false;
    std::vector<KeyId> children;
    std::vector<RegValue> values;
  };

  std::optional<KeyId> FindChild(KeyId parent, std::string_view name) const;
  std::optional<uint32_t> FindValueIndex(KeyId key, std::string_view name) const;

  std::vector<Key> keys_;
  HashIndex children_;  // hash of (parent, name): the child
  // Hash of (key, name): the key in the high half, the value's index in the
  // low. Only keys with more values than a scan would cheaply pass are here.
  HashIndex values_;
};

}  // namespace tarn
