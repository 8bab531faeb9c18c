#include "net/host_name.h"

#include "platform/portable/ascii_text.h"

namespace tarn {
namespace {

constexpr std::size_t kLongestName = 253;
constexpr std::size_t kLongestLabel = 63;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }
bool IsLabelByte(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_'; }

// Calls check on each dot-separated part of text; false as soon as one fails.
template <typename Check>
bool EachPart(std::string_view text, char separator, Check check) {
  for (;;) {
    const std::size_t end = text.find(separator);
    if (!check(text.substr(0, end))) return false;
    if (end == std::string_view::npos) return true;
    text.remove_prefix(end + 1);
  }
}

bool IsHostName(std::string_view host) {
  if (host.ends_with('.')) host.remove_suffix(1);
  if (host.empty() || host.size() > kLongestName) return false;
  return EachPart(host, '.', [](std::string_view label) {
    if (label.empty() || label.size() > kLongestLabel) return false;
    for (char c : label) {
      if (!IsLabelByte(c)) return false;
    }
    return true;
  });
}

bool IsIPv4Address(std::string_view text) {
  int parts = 0;
  return EachPart(text, '.', [&parts](std::string_view part) {
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    int value = 0;
    for (char c : part) {
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    return ++parts <= 4 && value <= 255;
  }) && parts == 4;
}

}  // namespace

bool IsBareIPv6Address(std::string_view text) {
  int groups = 0;
  bool gap = false;  // the one "::" allowed, standing for one group of zeros or more
  std::size_t at = 0;
  if (text.starts_with("::")) {
    gap = true;
    at = 2;
  }
  while (at < text.size()) {
    const std::size_t end = text.find(':', at);
    const std::string_view group = text.substr(at, end == std::string_view::npos ? end : end - at);
    if (end == std::string_view::npos && group.find('.') != std::string_view::npos) {
      // A dotted IPv4 address ends it, as its last two groups.
      if (!IsIPv4Address(group)) return false;
      groups += 2;
      break;
    }
    if (group.empty() || group.size() > 4) return false;
    for (char c : group) {
      if (!IsHexDigit(c)) return false;
    }
    ++groups;
    if (end == std::string_view::npos) break;
    at = end + 1;
    if (at == text.size()) return false;
    if (text[at] == ':') {
      if (gap) return false;
      gap = true;
      ++at;
    }
  }
  return gap ? groups <= 7 : groups == 8;
}

bool IsHostNameOrAddress(std::string_view host) {
  if (host.starts_with('[') && host.ends_with(']')) return IsBareIPv6Address(host.substr(1, host.size() - 2));
  return IsHostName(host) || IsBareIPv6Address(host);
}

bool NeverResolves(std::string_view host) {
  if (host.ends_with('.')) host.remove_suffix(1);
  constexpr std::string_view kDomain = "invalid";
  if (host.size() < kDomain.size()) return false;
  const std::size_t at = host.size() - kDomain.size();
  return (at == 0 || host[at - 1] == '.') && SameAsciiText(host.substr(at), kDomain);
}

}  // namespace tarn
