#include "ui/win32/text_win32.h"

#include <windows.h>

namespace tarn {

namespace {

constexpr UINT kProgramCodePage = 1252;

}  // namespace

std::wstring ToWide(std::string_view ansi) {
  auto size = static_cast<int>(ansi.size());
  std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(kProgramCodePage, 0, ansi.data(), size, nullptr, 0)),
                    L'\0');
  ::MultiByteToWideChar(kProgramCodePage, 0, ansi.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// A character that 1252 lacks takes the platform's best fit, as text typed
// into an ANSI program's edit does.
std::string FromWide(std::wstring_view wide) {
  auto size = static_cast<int>(wide.size());
  std::string ansi(
      static_cast<size_t>(::WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
      '\0');
  ::WideCharToMultiByte(kProgramCodePage, 0, wide.data(), size, ansi.data(), static_cast<int>(ansi.size()), nullptr,
                        nullptr);
  return ansi;
}

}  // namespace tarn
