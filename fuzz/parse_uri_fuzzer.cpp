// Addresses from anywhere: ParseUri splits any text without failing, and
// its parts keep their promises; the host check, the request path and the
// proxy bypass patterns take any part without failing, and what they give
// can go on the wire.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/host_name.h"
#include "net/proxy_bypass.h"
#include "net/request_path.h"
#include "net/uri.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string address(reinterpret_cast<const char*>(data), size);
  tarn::TURI uri;
  const bool found = tarn::ParseUri(address, uri);
  if (found == uri.Host.empty()) std::abort();
  // Host and port come from before the first "/"; a host holds a ":" only
  // as an IPv6 address in brackets.
  if (uri.Host.find('/') != std::string::npos || uri.PortText.find('/') != std::string::npos) std::abort();
  if (uri.Host.find(':') != std::string::npos && !(uri.Host.starts_with('[') && uri.Host.ends_with(']'))) {
    std::abort();
  }
  if (uri.Host.size() + uri.PortText.size() + uri.Path.size() > address.size() + 3) std::abort();

  const std::string host = uri.Host + (uri.PortText.empty() ? "" : ":" + uri.PortText);
  if (tarn::IsHostNameOrAddress(host) &&
      host.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_.:[]") !=
          std::string::npos) {
    std::abort();
  }
  const std::string target = tarn::RequestPath(uri.Path);
  if (target.empty() || target.front() != '/') std::abort();
  for (char c : target) {
    if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7F) std::abort();
  }
  tarn::BypassesProxy(uri.Path, address);
  return 0;
}
