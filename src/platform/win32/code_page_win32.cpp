#include "platform/code_page.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace tarn {

namespace {

// The platform's calls take lengths as int: longer texts go in pieces, which
// changes nothing for a code page of one byte a character, narrowed code
// unit by code unit.
constexpr size_t kPiece = size_t{1} << 30;

// The code page's 256 characters, asked of the platform once.
const std::array<char16_t, 256>& WideOfEveryByte() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> wide{};
    for (int byte = 0; byte < 256; ++byte) {
      char c = static_cast<char>(byte);
      wchar_t w = 0;
      wide[byte] = ::MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1) == 1 ? w : static_cast<char16_t>(byte);
    }
    return wide;
  }();
  return table;
}

}  // namespace

char16_t AnsiCharToWide(unsigned char c) { return WideOfEveryByte()[c]; }

std::u16string AnsiToWide(std::string_view text) {
  std::u16string out;
  for (size_t at = 0; at < text.size(); at += kPiece) {
    int length = static_cast<int>(std::min(kPiece, text.size() - at));
    int size = ::MultiByteToWideChar(CP_ACP, 0, text.data() + at, length, nullptr, 0);
    size_t end = out.size();
    out.resize(end + static_cast<size_t>(size));
    ::MultiByteToWideChar(CP_ACP, 0, text.data() + at, length, reinterpret_cast<wchar_t*>(out.data() + end), size);
  }
  return out;
}

// The platform's own narrowing: a character the code page lacks takes its
// best fit where one exists, else the code page's default character.
std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size(); at += kPiece) {
    auto* units = reinterpret_cast<const wchar_t*>(text.data() + at);
    int length = static_cast<int>(std::min(kPiece, text.size() - at));
    int size = ::WideCharToMultiByte(CP_ACP, 0, units, length, nullptr, 0, nullptr, nullptr);
    size_t end = out.size();
    out.resize(end + static_cast<size_t>(size));
    ::WideCharToMultiByte(CP_ACP, 0, units, length, out.data() + end, size, nullptr, nullptr);
  }
  return out;
}

}  // namespace tarn
