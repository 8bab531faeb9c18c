// Gzip members from anywhere: decoding never reads outside the member and
// never takes the announced length on trust; a member it cannot decode
// leaves nothing behind, and whatever decodes survives a round trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/gzip_coding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string member(reinterpret_cast<const char*>(data), size);
  std::string name;
  try {
    name = tarn::GzipCoding(member, false);
  } catch (const tarn::EZipException&) {
    return 0;
  }
  if (name.empty()) {
    if (!member.empty()) std::abort();
    return 0;
  }
  if (name != "gzip") std::abort();
  std::string again = member;
  tarn::GzipCoding(again, true);
  if (tarn::GzipCoding(again, false) != "gzip" || again != member) std::abort();
  return 0;
}
