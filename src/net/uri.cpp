#include "net/uri.h"

#include <string_view>

namespace tarn {
namespace {

// Compares the start of text with an upper-case prefix, ignoring the case of
// ASCII letters.
bool StartsWithUpper(std::string_view text, std::string_view upper_prefix) {
  if (text.size() < upper_prefix.size()) return false;
  for (std::size_t i = 0; i < upper_prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper_prefix[i]) return false;
  }
  return true;
}

// Blanks and control characters: every byte up to the space.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

// The text after the first "/" of rest, or nothing when there is none.
std::string AfterSlash(std::string_view rest) {
  std::size_t slash = rest.find('/');
  return slash == std::string_view::npos ? std::string() : std::string(rest.substr(slash + 1));
}

}  // namespace

bool ParseUri(const std::string& address, TURI& uri) {
  uri = TURI{};
  std::string_view rest = Trim(address);
  if (rest.empty()) return false;
  if (StartsWithUpper(rest, "HTTP://")) {
    rest.remove_prefix(7);
  } else if (StartsWithUpper(rest, "HTTPS://")) {
    rest.remove_prefix(8);
    uri.Secure = true;
  }

  std::size_t colon = rest.find(':');
  if (colon != std::string_view::npos) {
    uri.Host = rest.substr(0, colon);
    std::string_view after = rest.substr(colon + 1);
    uri.PortText = after.substr(0, after.find('/'));
    uri.Path = AfterSlash(after);
  } else {
    uri.Host = rest.substr(0, rest.find('/'));
    uri.PortText = uri.Secure ? "443" : "80";
    uri.Path = AfterSlash(rest);
  }
  return !uri.Host.empty();
}

}  // namespace tarn
