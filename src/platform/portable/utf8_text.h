// UTF-8 at the edges that store or show text as UTF-8 on POSIX (the
// registry file, file names, the terminal).
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

}  // namespace tarn
