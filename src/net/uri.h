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
// case and the scheme may be missing (plain HTTP then). The host and the
// port lie before the first "/": a ":" there ends the host (a ":" in the
// path is the path's), and an IPv6 address in brackets is the host, its
// brackets kept ("http://[::1]:8080/x"). Returns true when a host was
// found; uri is cleared first in every case.
bool ParseUri(const std::string& address, TURI& uri);

}  // namespace tarn
