// Base64 of RFC 4648, padded with "=", as Basic authentication sends it.
#pragma once

#include <string>
#include <string_view>

namespace tarn {

std::string Base64Encode(std::string_view bytes);

}  // namespace tarn
