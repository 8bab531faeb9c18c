#include "platform/portable/utf8_text.h"

#include <optional>

#include "platform/code_page.h"

namespace tarn {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > s.size()) return 0;
  if (length == 1) {
    c = b;
    return 1;
  }
  c = b & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

bool IsUtf8(std::string_view s) {
  char32_t c;
  for (size_t i = 0, length; i < s.size(); i += length) {
    if ((length = DecodeUtf8(s, i, c)) == 0) return false;
  }
  return true;
}

namespace {

// The code page's own byte for `c`, or nothing where it has none: no best fit.
std::optional<char> ExactAnsi(char32_t c) {
  if (c > 0xFFFF) return std::nullopt;
  char narrow = WideToAnsi(std::u16string(1, static_cast<char16_t>(c)))[0];
  if (AnsiCharToWide(static_cast<unsigned char>(narrow)) != c) return std::nullopt;
  return narrow;
}

// Converts `text`; a character that the code page lacks becomes '?' and sets
// `lost`.
std::string ConvertUtf8ToAnsi(std::string_view text, bool& lost) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t ascii = i;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    out.append(text.substr(i, ascii - i));
    if ((i = ascii) == text.size()) break;
    char32_t c;
    size_t length = DecodeUtf8(text, i, c);
    if (length == 0) {
      out += text[i++];
      continue;
    }
    std::optional<char> narrow = ExactAnsi(c);
    lost = lost || !narrow;
    out += narrow.value_or('?');
    i += length;
  }
  return out;
}

}  // namespace

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) AppendUtf8(out, AnsiCharToWide(c));
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  bool lost = false;
  return ConvertUtf8ToAnsi(text, lost);
}

std::optional<std::string> Utf8ToAnsiExactly(std::string_view text) {
  bool lost = false;
  std::string out = ConvertUtf8ToAnsi(text, lost);
  if (lost) return std::nullopt;
  return out;
}

namespace {

// A surrogate's code in UTF-8 form (ED A0-BF 80-BF): not UTF-8, but how a
// lone surrogate travels here.
bool DecodeSurrogate(std::string_view s, size_t i, char32_t& c) {
  if (i + 3 > s.size() || static_cast<unsigned char>(s[i]) != 0xED) return false;
  auto high = static_cast<unsigned char>(s[i + 1]), low = static_cast<unsigned char>(s[i + 2]);
  if ((high & 0xE0) != 0xA0 || (low & 0xC0) != 0x80) return false;
  c = 0xD000 | ((high & 0x3F) << 6) | (low & 0x3F);
  return true;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c;
    size_t length = DecodeUtf8(text, i, c);
    if (length == 0) {
      length = DecodeSurrogate(text, i, c) ? 3 : 1;
      if (length == 1) c = 0xFFFD;
    }
    i += length;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    AppendUtf8(out, c);  // a lone surrogate as its three bytes
  }
  return out;
}

}  // namespace tarn
