#include "net/request_path.h"

namespace tarn {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

}  // namespace

std::string RequestPath(std::string_view path) {
  std::string out;
  out.reserve(path.size() + 1);
  if (!path.starts_with('/')) out += '/';
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte < 0x7F) {
      out += c;
    } else if (byte < 0x80) {
      AppendEscaped(out, byte);
    } else {
      AppendEscaped(out, static_cast<unsigned char>(0xC0 | (byte >> 6)));
      AppendEscaped(out, static_cast<unsigned char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

}  // namespace tarn
