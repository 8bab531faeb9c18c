#include "json/json_text.h"

#include <charconv>
#include <cmath>

#include "json/json_output.h"
#include "platform/code_page.h"

namespace tarn {

namespace {

constexpr int kSignificantDigits = 15;

// Formats into `buffer` (at least 32 bytes); returns the length.
size_t FormatFloat(double value, char* buffer) {
  char* out = buffer;
  if (std::isnan(value) || std::isinf(value)) {
    if (std::signbit(value)) *out++ = '-';
    const char* word = std::isnan(value) ? "NAN" : "INF";
    for (int i = 0; i < 3; ++i) *out++ = word[i];
    return static_cast<size_t>(out - buffer);
  }
  if (value == 0) {
    *out = '0';
    return 1;
  }
  if (value < 0) *out++ = '-';
  // d.dddddddddddddde±x: the value rounded to 15 significant digits.
  char scientific[32];
  auto result = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                              std::chars_format::scientific, kSignificantDigits - 1);
  char digits[kSignificantDigits];
  int count = 0;
  const char* p = scientific;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  int exponent = 0;
  std::from_chars(p[1] == '+' ? p + 2 : p + 1, result.ptr, exponent);
  while (count > 1 && digits[count - 1] == '0') --count;

  int point = exponent + 1;  // the value is 0.d1d2d3… × 10^point
  if (point > kSignificantDigits || point < -3) {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      for (int i = 1; i < count; ++i) *out++ = digits[i];
    }
    *out++ = 'E';
    out = std::to_chars(out, buffer + 32, point - 1).ptr;
  } else if (point > 0) {
    for (int i = 0; i < point; ++i) *out++ = i < count ? digits[i] : '0';
    if (count > point) {
      *out++ = '.';
      for (int i = point; i < count; ++i) *out++ = digits[i];
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < -point; ++i) *out++ = '0';
    for (int i = 0; i < count; ++i) *out++ = digits[i];
  }
  return static_cast<size_t>(out - buffer);
}

void WriteEscaped(TJSONOutput& output, char16_t c) {
  static const char kHex[] = "0123456789ABCDEF";
  if (c >= 0x20 && c <= 0x7E) {
    if (c == '"' || c == '\\' || c == '/') output.Put('\\');
    output.Put(static_cast<char>(c));
    return;
  }
  output.Put('\\');
  switch (c) {
    case 0x08: output.Put('b'); return;
    case 0x09: output.Put('t'); return;
    case 0x0A: output.Put('n'); return;
    case 0x0C: output.Put('f'); return;
    case 0x0D: output.Put('r'); return;
    default:
      output.Put('u');
      for (int shift = 12; shift >= 0; shift -= 4) output.Put(kHex[(c >> shift) & 0xF]);
  }
}

}  // namespace

void WriteFloat(TJSONOutput& output, double value) {
  char buffer[32];
  output.Append({buffer, FormatFloat(value, buffer)});
}

std::string FloatText(double value) {
  char buffer[32];
  return std::string(buffer, FormatFloat(value, buffer));
}

void WriteQuoted(TJSONOutput& output, std::u16string_view text) {
  output.Put('"');
  for (char16_t c : text) WriteEscaped(output, c);
  output.Put('"');
}

void WriteQuotedNarrow(TJSONOutput& output, std::string_view text) {
  output.Put('"');
  for (char c : text) WriteEscaped(output, AnsiCharToWide(static_cast<unsigned char>(c)));
  output.Put('"');
}

}  // namespace tarn
