#include "platform/display_text.h"

#include <windows.h>

#include "platform/code_page.h"

namespace tarn {

// The platform hands an ANSI program its paths in the machine's ANSI code
// page, which need not be Windows-1252.
std::string DisplayPath(std::string_view path) {
  if (path.empty()) return {};
  auto size = static_cast<int>(path.size());
  std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), static_cast<int>(wide.size()));
  return WideToAnsi(std::u16string(wide.begin(), wide.end()));
}

// A console or a file takes the program's bytes as they are.
std::string TerminalText(std::string_view text) { return std::string(text); }

}  // namespace tarn
