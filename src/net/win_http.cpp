#include "net/win_http.h"

#include "net/base64.h"

namespace tarn {

TWinHTTP::TWinHTTP(const std::string& host, const std::string& port_text, bool secure,
                   const std::string& proxy_server, const std::string& proxy_bypass)
    : TWinHttpAPI(host, port_text, secure, proxy_server, proxy_bypass) {
  OpenSession();
}

TWinHTTP::~TWinHTTP() = default;

std::string TWinHTTP::BasicAuthorizationLine() const {
  constexpr std::string_view kBasic = "basic:";
  if (!AuthUser.starts_with(kBasic)) return {};
  return "Authorization:basic " + Base64Encode(AuthUser.substr(kBasic.size()) + ":" + AuthPassword);
}

}  // namespace tarn
