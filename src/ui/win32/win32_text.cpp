#include "ui/win32/win32_text.h"

#include "platform/code_page.h"

namespace tarn {

// wchar_t is the UTF-16 code unit on Windows.
std::wstring ToWide(std::string_view ansi) {
  std::u16string wide = AnsiToWide(ansi);
  return std::wstring(wide.begin(), wide.end());
}

std::string FromWide(std::wstring_view wide) { return WideToAnsi(std::u16string(wide.begin(), wide.end())); }

}  // namespace tarn
