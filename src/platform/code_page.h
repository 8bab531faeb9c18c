// The system's ANSI code page (Windows-1252 for the program's texts) in both
// directions as the platform maps it: the five bytes that 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same value, and a character the code page lacks becomes '?'; WideToAnsi
// first gives it its best fit, a close character (U+0100 'A'), where the
// platform has one. On POSIX this is a table of Windows-1252; on Windows the
// platform's own conversions with its ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

char16_t AnsiCharToWide(unsigned char c);
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

}  // namespace tarn
