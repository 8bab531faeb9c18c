#include "platform/display_text.h"

#include <windows.h>

namespace tarn {

// The platform hands an ANSI program its paths in the machine's ANSI code
// page, which need not be Windows-1252, the code page of the program's text.
std::string DisplayPath(std::string_view path) {
  if (path.empty()) return {};
  auto size = static_cast<int>(path.size());
  std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), static_cast<int>(wide.size()));
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
