#include "platform/display_text.h"

#include <windows.h>

#include "platform/portable/utf8_text.h"
#include "platform/win32/wide_text.h"

namespace tarn {

// Windows-1252 whatever the machine's ANSI code page, which need not be
// the code page of the program's text.
std::string DisplayPath(std::string_view path) {
  std::wstring wide = Utf8ToWide(path);
  if (wide.empty()) return {};
  auto units = static_cast<int>(wide.size());
  std::string text(static_cast<size_t>(
                       ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, "?", nullptr)),
                   '\0');
  ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), units, text.data(), static_cast<int>(text.size()), "?",
                        nullptr);
  return text;
}

// A console or a file takes the program's bytes as they are.
std::string TerminalText(std::string_view text) { return std::string(text); }

std::optional<std::string> TerminalTextExactly(std::string_view text) { return std::string(text); }

// The command line's wide text arrives as UTF-8, which holds every character
// but a lone surrogate; a file or a pipe gives the program's bytes.
std::optional<std::string> TypedTextAsUtf8(std::string_view bytes, TypedFrom from) {
  if (from == TypedFrom::kStream) return AnsiToUtf8(bytes);
  if (!IsUtf8(bytes)) return std::nullopt;
  return std::string(bytes);
}

std::string TypedCharset(TypedFrom from) { return from == TypedFrom::kStream ? "Windows-1252" : "Unicode"; }

}  // namespace tarn
