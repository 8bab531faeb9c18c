// Key paths below HKEY_CURRENT_USER, separated by backslashes.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The path with separators at its ends removed and runs of them folded.
std::string NormalizeRegPath(std::string_view path);

}  // namespace tarn
