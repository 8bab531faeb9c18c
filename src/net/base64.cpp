#include "net/base64.h"

namespace tarn {

std::string Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t at = 0;
  for (; at + 3 <= bytes.size(); at += 3) {
    const unsigned group = static_cast<unsigned char>(bytes[at]) << 16 |
                           static_cast<unsigned char>(bytes[at + 1]) << 8 | static_cast<unsigned char>(bytes[at + 2]);
    text += kAlphabet[group >> 18];
    text += kAlphabet[(group >> 12) & 63];
    text += kAlphabet[(group >> 6) & 63];
    text += kAlphabet[group & 63];
  }
  const std::size_t left = bytes.size() - at;
  if (left > 0) {
    unsigned group = static_cast<unsigned char>(bytes[at]) << 16;
    if (left == 2) group |= static_cast<unsigned char>(bytes[at + 1]) << 8;
    text += kAlphabet[group >> 18];
    text += kAlphabet[(group >> 12) & 63];
    text += left == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

}  // namespace tarn
