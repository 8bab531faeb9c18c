// Gzip members from anywhere: decoding never reads outside the member and
// never takes the announced length on trust; whatever decodes survives a
// round trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/gzip_coding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string member(reinterpret_cast<const char*>(data), size);
  try {
    tarn::GzipCoding(member, false);
  } catch (const tarn::EZipException&) {
    return 0;
  }
  std::string again = member;
  tarn::GzipCoding(again, true);
  tarn::GzipCoding(again, false);
  if (again != member) std::abort();
  return 0;
}
