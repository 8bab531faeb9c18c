// The system's ANSI code page, Windows-1252, in both directions as the
// platform maps it: the five bytes that 1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same value, and a
// character the code page lacks becomes '?'; WideToAnsi first gives it its
// best fit, a close character (U+0100 'A'), where the platform has one.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

char16_t AnsiCharToWide(unsigned char c);
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

// UTF-8 at the edges that store text as UTF-8 (the registry file). Invalid
// UTF-8 bytes are taken as Windows-1252 characters, so no byte is lost.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace tarn
