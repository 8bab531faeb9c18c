// Parses arbitrary registry files; whatever parses must write back to text
// that parses to the same hive.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/exceptions.h"
#include "platform/registry_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  tarn::RegHive hive;
  try {
    hive = tarn::ParseRegistryText(text, "fuzz.reg");
  } catch (const tarn::ERegistryException&) {
    return 0;
  }
  std::string written = tarn::FormatRegistryText(hive);
  std::string again = tarn::FormatRegistryText(tarn::ParseRegistryText(written, "fuzz.reg"));
  if (again != written) std::abort();
  return 0;
}
