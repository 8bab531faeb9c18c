// Integer text and boolean text as the settings files and the registry hold
// them: optional leading blanks, an optional sign, then decimal digits within
// the signed 32-bit range, or hexadecimal digits after $, x, X, 0x or 0X
// whose value fits in 32 bits (taken as the 32-bit pattern, so $FFFFFFFF is
// -1). Nothing may follow the digits, not even a blank.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The value of integer text, or nothing when the text is not integer text.
std::optional<int32_t> TryStrToInt(std::string_view text);

// The value of integer text, or `fallback` when it is not integer text.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

// The value of integer text; raises EConvertError otherwise.
int32_t StrToInt(std::string_view text);

// Boolean text: integer text, non-zero meaning true; other text gives
// `fallback`.
bool StrToBoolDef(std::string_view text, bool fallback);

std::string IntToStr(int64_t value);
std::string BoolToStr(bool value);  // "1" or "0"

}  // namespace tarn
