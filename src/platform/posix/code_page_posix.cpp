#include "platform/code_page.h"

#include <array>

#include "platform/posix/best_fit_1252.h"

namespace tarn {

namespace {

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char WideCharToAnsi(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

char16_t AnsiCharToWide(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kHighControls[c - 0x80] : static_cast<char16_t>(c);
}

std::u16string AnsiToWide(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = AnsiCharToWide(static_cast<unsigned char>(text[i]));
  return out;
}

std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  // Code unit by code unit, as the platform narrows: a surrogate pair gives
  // two '?'.
  for (char16_t c : text) {
    char narrow = WideCharToAnsi(c);
    if (narrow == '?' && c != u'?') narrow = BestFit1252(c);
    out += narrow;
  }
  return out;
}

}  // namespace tarn
