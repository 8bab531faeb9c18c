// The Registry Editor export format ("Windows Registry Editor Version 5.00")
// as an in-memory hive: parsing it and writing it back. Names and string
// data are 8-bit Windows-1252 text in memory and UTF-8 in the file; a file
// written as UTF-16 with a byte-order mark (as the Registry Editor exports
// it) is read as well.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_path.h"

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

struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

struct RegKey {
  std::vector<RegValue> values;  // in the order they were added
  RegValue* Find(std::string_view name);
  const RegValue* Find(std::string_view name) const;
};

// Keys by their full path below HKEY_CURRENT_USER ("SOFTWARE\\KESSLAN"),
// compared without regard to case; the root itself is not listed. Every
// parent of a listed key is listed too.
using RegHive = std::map<std::string, RegKey, CaseInsensitiveLess>;

// Raises ERegistryException naming `file_name` and the line on a text that is
// not in the format.
RegHive ParseRegistryText(std::string_view text, const std::string& file_name);
std::string FormatRegistryText(const RegHive& hive);

// Adds a key and every missing parent.
RegKey& EnsureRegKey(RegHive& hive, const std::string& path);

}  // namespace tarn
