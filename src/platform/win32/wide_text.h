// Paths and other text that the program keeps as UTF-8 and the platform's
// wide functions take as UTF-16. Both directions are lossless for every name
// a Windows file system can hold, a lone surrogate included (it travels as
// the three bytes that UTF-8 would give it); bytes that are not UTF-8 become
// U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace tarn
