#include "platform/display_text.h"

#include <windows.h>

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

}  // namespace tarn
