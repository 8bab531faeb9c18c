#include "platform/portable/int_text.h"

#include "platform/portable/ascii_text.h"
#include "platform/portable/exceptions.h"

namespace tarn {

std::optional<int32_t> TryStrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;

  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = hex ? HexDigitValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex) {
    uint32_t pattern = static_cast<uint32_t>(value);
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }
  if (value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
  int64_t signed_value = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  return static_cast<int32_t>(signed_value);
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  return TryStrToInt(text).value_or(fallback);
}

int32_t StrToInt(std::string_view text) {
  if (auto value = TryStrToInt(text)) return *value;
  throw InvalidIntegerError(std::string(text));
}

bool StrToBoolDef(std::string_view text, bool fallback) {
  return StrToIntDef(text, fallback ? 1 : 0) != 0;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string BoolToStr(bool value) { return value ? "1" : "0"; }

}  // namespace tarn
