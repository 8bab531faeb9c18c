// Addresses from anywhere: ParseUri splits any text without failing, and
// its parts keep their promises.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/uri.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string address(reinterpret_cast<const char*>(data), size);
  tarn::TURI uri;
  const bool found = tarn::ParseUri(address, uri);
  if (found == uri.Host.empty()) std::abort();
  if (uri.Host.find(':') != std::string::npos || uri.PortText.find('/') != std::string::npos) std::abort();
  if (uri.Host.size() + uri.PortText.size() + uri.Path.size() > address.size() + 3) std::abort();
  return 0;
}
