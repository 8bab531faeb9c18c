// A request address split into scheme, host, port text and path.
#pragma once

#include <string>

namespace tarn {

struct TURI {
  bool Secure = false;   // the address began with the https scheme
  std::string Host;
  std::string PortText;  // "443" or "80" when the address names no port
  std::string Path;      // what follows host and port, without its leading "/"
};

// Splits an address such as "https://h:8443/a/b". Blanks and control
// characters around it are ignored, the scheme's letters may be in any
// case and the scheme may be missing (plain HTTP then). A ":" anywhere in
// the rest ends the host, even after a "/". Returns true when a host was
// found; uri is cleared first in every case.
bool ParseUri(const std::string& address, TURI& uri);

}  // namespace tarn
