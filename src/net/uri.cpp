#include "net/uri.h"

#include <string_view>

#include "platform/portable/ascii_text.h"

namespace tarn {
namespace {

// Blanks and control characters: every byte up to the space.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

// Where the host of an authority ends: after the "]" of an IPv6 literal in
// brackets that nothing but a port follows, else at its first ":".
std::size_t HostEnd(std::string_view authority) {
  const std::size_t bracket = authority.find(']');
  if (authority.starts_with('[') && bracket != std::string_view::npos &&
      (bracket + 1 == authority.size() || authority[bracket + 1] == ':')) {
    return bracket + 1;
  }
  return authority.find(':');
}

}  // namespace

bool ParseUri(const std::string& address, TURI& uri) {
  uri = TURI{};
  std::string_view rest = Trim(address);
  if (rest.empty()) return false;
  if (StartsWithAsciiText(rest, "HTTP://")) {
    rest.remove_prefix(7);
  } else if (StartsWithAsciiText(rest, "HTTPS://")) {
    rest.remove_prefix(8);
    uri.Secure = true;
  }

  const std::size_t slash = rest.find('/');
  const std::string_view authority = rest.substr(0, slash);
  if (slash != std::string_view::npos) uri.Path = rest.substr(slash + 1);
  const std::size_t host_end = HostEnd(authority);
  uri.Host = authority.substr(0, host_end);
  if (host_end < authority.size()) {
    uri.PortText = authority.substr(host_end + 1);
  } else {
    uri.PortText = uri.Secure ? "443" : "80";
  }
  return !uri.Host.empty();
}

}  // namespace tarn
