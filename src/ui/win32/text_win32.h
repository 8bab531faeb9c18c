// Text at the Win32 edge: the program's Windows-1252 text as the UTF-16 of
// the wide functions and back, converted by code page 1252 whatever the
// machine's ANSI code page. Paths, which the program holds as UTF-8, cross
// by platform/win32/wide_text.h.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

std::wstring ToWide(std::string_view ansi);
std::string FromWide(std::wstring_view wide);

}  // namespace tarn
