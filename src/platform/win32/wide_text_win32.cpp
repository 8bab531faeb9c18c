#include "platform/win32/wide_text.h"

#include "platform/portable/utf8_text.h"

namespace tarn {

namespace {

// A surrogate's code in UTF-8 form (ED A0-BF 80-BF), which is not UTF-8
// but is how a lone surrogate of a name travels here.
bool DecodeSurrogate(std::string_view s, size_t i, char32_t& c) {
  if (i + 3 > s.size() || static_cast<unsigned char>(s[i]) != 0xED) return false;
  auto high = static_cast<unsigned char>(s[i + 1]), low = static_cast<unsigned char>(s[i + 2]);
  if ((high & 0xE0) != 0xA0 || (low & 0xC0) != 0x80) return false;
  c = 0xD000 | ((high & 0x3F) << 6) | (low & 0x3F);
  return true;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
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
      out += static_cast<wchar_t>(c);
    } else {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char16_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
    }
    AppendUtf8(out, c);  // a lone surrogate as its three bytes
  }
  return out;
}

}  // namespace tarn
