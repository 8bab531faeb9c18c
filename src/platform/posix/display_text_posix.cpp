#include "platform/display_text.h"

#include "platform/portable/utf8_text.h"

namespace tarn {

// Bytes that are not UTF-8 (a name made under another encoding) show as the
// Windows-1252 characters of the same value.
std::string DisplayPath(std::string_view path) { return Utf8ToAnsi(path); }

std::string TerminalText(std::string_view text) { return AnsiToUtf8(text); }

}  // namespace tarn
