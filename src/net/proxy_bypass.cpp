#include "net/proxy_bypass.h"

#include "platform/portable/ascii_text.h"

namespace tarn {
namespace {

bool IsSeparator(char c) { return c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "*" matches any run of characters. After a mismatch only the last "*"
// is retried one character further, so the work stays linear in practice
// and never exponential.
bool MatchesPattern(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && AsciiUpper(pattern[p]) == AsciiUpper(text[t])) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchesEntry(std::string_view entry, std::string_view host) {
  // A pattern without "*" compares whole texts.
  if (MatchesPattern("<local>", entry)) return host.find('.') == std::string_view::npos;
  return MatchesPattern(entry, host);
}

}  // namespace

bool BypassesProxy(std::string_view bypass_list, std::string_view host) {
  std::size_t at = 0;
  while (at < bypass_list.size()) {
    if (IsSeparator(bypass_list[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < bypass_list.size() && !IsSeparator(bypass_list[end])) ++end;
    if (MatchesEntry(bypass_list.substr(at, end - at), host)) return true;
    at = end;
  }
  return false;
}

}  // namespace tarn
