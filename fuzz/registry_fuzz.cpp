// Parses arbitrary registry files; whatever parses must write back to text
// that parses to the same hive, and every key and value of the hive must be
// found again by its path and name, also after a key is removed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/portable/exceptions.h"
#include "platform/posix/registry_format.h"

namespace {

using tarn::RegHive;

void CheckLookups(const RegHive& hive) {
  std::vector<std::pair<RegHive::KeyId, std::string>> pending = {{RegHive::kRoot, ""}};
  while (!pending.empty()) {
    auto [key, path] = pending.back();
    pending.pop_back();
    if (hive.FindKey(path) != key) std::abort();
    for (const tarn::RegValue& value : hive.Values(key)) {
      if (hive.FindValue(key, value.name) != &value) std::abort();
    }
    for (RegHive::KeyId child : hive.SubKeys(key)) pending.push_back({child, path + "\\" + hive.Name(child)});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  RegHive hive;
  try {
    hive = tarn::ParseRegistryText(text, "fuzz.reg");
  } catch (const tarn::ERegistryException&) {
    return 0;
  }
  std::string written = tarn::FormatRegistryText(hive);
  std::string again = tarn::FormatRegistryText(tarn::ParseRegistryText(written, "fuzz.reg"));
  if (again != written) std::abort();
  CheckLookups(hive);
  std::vector<RegHive::KeyId> top = hive.SubKeys(RegHive::kRoot);
  if (!top.empty()) {
    std::string name = hive.Name(top.back());
    hive.RemoveKey(top.back());
    if (hive.FindKey(name)) std::abort();
    CheckLookups(hive);
    tarn::ParseRegistryText(tarn::FormatRegistryText(hive), "fuzz.reg");
  }
  return 0;
}
