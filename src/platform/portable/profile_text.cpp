#include "platform/portable/profile_text.h"

#include "platform/code_page.h"
#include "platform/portable/utf8_text.h"

namespace tarn {

namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

std::u16string Units(std::string_view bytes, bool big_endian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    auto first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  return units;
}

std::string Bytes(std::u16string_view units, bool big_endian) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

}  // namespace

ProfileText DecodeProfile(std::string bytes) {
  bool little = bytes.starts_with(kLittleEndianMark), big = bytes.starts_with(kBigEndianMark);
  if (!little && !big) return ProfileText{ProfileEncoding::kAnsi, std::move(bytes), true};
  std::string_view units = std::string_view(bytes).substr(2);
  return ProfileText{big ? ProfileEncoding::kUtf16Be : ProfileEncoding::kUtf16Le, Utf16ToUtf8(Units(units, big)),
                     units.size() % 2 == 0};
}

std::string EncodeProfile(const ProfileText& file) {
  if (file.encoding == ProfileEncoding::kAnsi) return file.text;
  bool big = file.encoding == ProfileEncoding::kUtf16Be;
  return std::string(big ? kBigEndianMark : kLittleEndianMark) + Bytes(Utf8ToUtf16(file.text), big);
}

std::string ToProfileText(ProfileEncoding encoding, std::string_view program_text) {
  if (encoding == ProfileEncoding::kAnsi) return std::string(program_text);
  return Utf16ToUtf8(AnsiToWide(program_text));
}

std::string FromProfileText(ProfileEncoding encoding, std::string_view file_text) {
  if (encoding == ProfileEncoding::kAnsi) return std::string(file_text);
  return WideToAnsi(Utf8ToUtf16(file_text));
}

}  // namespace tarn
