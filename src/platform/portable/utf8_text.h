// UTF-8 at the edges that store or show text as UTF-8 (on POSIX the
// registry file, file names, the terminal; on Windows the program's paths).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Invalid UTF-8 bytes are taken as Windows-1252 characters, so no byte is
// lost; a character that the code page lacks becomes '?' (no best fit).
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);
// The same, or nothing when the code page lacks one of the text's characters.
std::optional<std::string> Utf8ToAnsiExactly(std::string_view text);

// UTF-16 text as UTF-8 and back, lossless for every sequence of UTF-16
// units (file names, Unicode profile files): a lone surrogate travels as
// the three bytes that UTF-8 would give its code. Bytes that are not UTF-8
// become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// One character as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Decodes the UTF-8 sequence at `i` of `s` into `c` and returns its length,
// or 0 when the bytes there are not a well-formed sequence (a surrogate's
// code is not well-formed).
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c);
// Whether every byte of `s` belongs to a well-formed sequence.
bool IsUtf8(std::string_view s);

}  // namespace tarn
