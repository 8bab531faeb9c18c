#include "net/win_http.h"

#include "net/base64.h"

namespace tarn {

std::string TWinHTTP::BasicAuthorizationLine() const {
  constexpr std::string_view kBasic = "basic:";
  if (!AuthUser.starts_with(kBasic)) return {};
  return "Authorization:basic " + Base64Encode(AuthUser.substr(kBasic.size()) + ":" + AuthPassword);
}

}  // namespace tarn
