// Reads and writes keys of arbitrary profile files: a value written must
// read back as written, a second write of it must change nothing, and a
// Unicode file must stay Unicode.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/portable/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory where the system offers it: every write flushes the file and
  // its folder to disk, which on a disk would bound the run to a few dozen
  // inputs a second.
  static const std::string file = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/tarn-profile-fuzz-" + std::to_string(::getpid()) + ".ini";
  std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  // Section and key names come from the input's first bytes, so the fuzzer
  // can aim at the names it has put in the file.
  std::string section = bytes.substr(0, std::min<size_t>(size, 3));
  std::string key = size > 3 ? bytes.substr(3, std::min<size_t>(size - 3, 2)) : "k";
  tarn::ReadProfileValue(section, key, "", file);
  try {
    tarn::WriteProfileValue(section, key, "value", file);
  } catch (const std::exception&) {
    return 0;  // names that could not be read back are refused
  }
  if (tarn::ReadProfileValue(section, key, "", file) != "value") std::abort();
  std::ifstream in(file, std::ios::binary);
  std::string first((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A Unicode file stays one, in its byte order.
  for (const char* mark : {"\xFF\xFE", "\xFE\xFF"}) {
    if (bytes.starts_with(mark) && !first.starts_with(mark)) std::abort();
  }
  tarn::WriteProfileValue(section, key, "value", file);
  std::ifstream again(file, std::ios::binary);
  std::string second((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
  if (first != second) std::abort();
  return 0;
}
