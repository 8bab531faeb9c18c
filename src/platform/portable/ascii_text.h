// The ASCII rules that the platform's names and numbers follow: profile and
// registry names compare without regard to the case of ASCII letters only,
// and hexadecimal digits take either case.
#pragma once

#include <string_view>

namespace tarn {

inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

inline bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

inline bool StartsWithAsciiText(std::string_view text, std::string_view prefix) {
  return SameAsciiText(text.substr(0, prefix.size()), prefix);
}

// The value of a hexadecimal digit, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace tarn
