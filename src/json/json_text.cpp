#include "json/json_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "json/json_output.h"
#include "platform/code_page.h"

namespace tarn {

namespace {

constexpr int kSignificantDigits = 15;

// Splits d.ddd…e±x text into its digits (at most `max`, the rest dropped)
// and its exponent; returns how many digits there were in all.
int SplitScientific(const char* text, const char* end, char* digits, int max, int& exponent) {
  int count = 0;
  const char* p = text;
  for (; *p != 'e'; ++p) {
    if (*p == '.') continue;
    if (count < max) digits[count] = *p;
    ++count;
  }
  bool negative = p[1] == '-';
  int magnitude = 0;
  for (p += 2; p < end; ++p) magnitude = magnitude * 10 + (*p - '0');
  exponent = negative ? -magnitude : magnitude;
  return count;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};

// Writes the digit pairs of `value` (below 10^(2 * pairs)) right to left,
// ending before `end`.
void WritePairs(uint32_t value, char* end, int pairs) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  for (int i = 0; i < pairs; ++i) {
    uint32_t pair = value % 100;
    value /= 100;
    *--end = kPairs[pair * 2 + 1];
    *--end = kPairs[pair * 2];
  }
}

// The 15 decimal digits of a number from 10^14 to 10^15 - 1.
void WriteFifteenDigits(uint64_t number, char* digits) {
  auto high = static_cast<uint32_t>(number / 100000000);  // seven digits
  auto low = static_cast<uint32_t>(number % 100000000);   // eight digits
  WritePairs(low, digits + 15, 4);
  WritePairs(high / 10, digits + 6, 3);
  digits[6] = static_cast<char>('0' + high % 10);
}

// The common case, values from 0.001 up to 10^15: the value times a power
// of ten is a 15-digit number, and the one rounding of that product errs by
// at most 0.0625, so its fraction decides the rounding unless it lies that
// close to one half. Returns 0 when the exact path must decide.
int ScaledDigits(double value, char* digits, int& exponent) {
  if (!(value >= 1e-3 && value < 1e15)) return 0;
  // The value is below 10^point and not below 10^(point - 1): estimated
  // from the binary exponent, then corrected by one comparison. A wrong
  // estimate at a power of ten is caught by the range check below.
  int binary_exponent = static_cast<int>((std::bit_cast<uint64_t>(value) >> 52) & 0x7FF) - 1023;
  int point = static_cast<int>(std::floor(binary_exponent * 0.30102999566398120)) + 1;
  if (point < 15 && value >= (point >= 0 ? kPowersOfTen[point] : 1 / kPowersOfTen[-point])) ++point;
  double scaled = value * kPowersOfTen[kSignificantDigits - point];
  double whole = std::floor(scaled);
  double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 0.07) return 0;
  auto number = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  if (number == 1000000000000000u) {
    number = 100000000000000u;
    ++point;
  }
  if (number < 100000000000000u || number >= 1000000000000000u) return 0;
  WriteFifteenDigits(number, digits);
  int count = kSignificantDigits;
  while (count > 1 && digits[count - 1] == '0') --count;
  exponent = point - 1;
  return count;
}

// The positive value rounded to 15 significant digits, trailing zeros
// dropped: the digits and the exponent of the first one. The shortest text
// that reads back as the value is usually enough to decide the rounding:
// the value lies within 0.12 units of its 15th digit from that text, so the
// text rounds the same way unless its tail is that close to one half.
// Subnormal values have fewer bits, so they always take the exact path.
int RoundedDigits(double value, char* digits, int& exponent) {
  if (int count = ScaledDigits(value, digits, exponent)) return count;
  char text[32];
  char all[24];
  bool normal = value >= std::numeric_limits<double>::min();
  auto result = normal ? std::to_chars(text, text + sizeof text, value, std::chars_format::scientific)
                       : std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                       kSignificantDigits - 1);
  int count = SplitScientific(text, result.ptr, all, 24, exponent);
  if (count > kSignificantDigits) {
    int tail = (all[kSignificantDigits] - '0') * 10 + (count > kSignificantDigits + 1 ? all[16] - '0' : 0);
    if (tail >= 38 && tail <= 62) {
      result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, kSignificantDigits - 1);
      count = SplitScientific(text, result.ptr, all, 24, exponent);
    } else {
      count = kSignificantDigits;
      if (tail > 50) {
        int i = count - 1;
        for (; i >= 0 && all[i] == '9'; --i) all[i] = '0';
        if (i >= 0) {
          ++all[i];
        } else {
          all[0] = '1';
          ++exponent;
        }
      }
    }
  }
  while (count > 1 && all[count - 1] == '0') --count;
  for (int i = 0; i < count; ++i) digits[i] = all[i];
  return count;
}

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
  char digits[kSignificantDigits];
  int exponent = 0;
  int count = RoundedDigits(std::fabs(value), digits, exponent);

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

// Writes the escaped form of one code unit (at most six bytes) at `out`;
// returns the position after it.
char* Escape(char16_t c, char* out) {
  static const char kHex[] = "0123456789ABCDEF";
  if (c >= 0x20 && c <= 0x7E) {
    if (c == '"' || c == '\\' || c == '/') *out++ = '\\';
    *out++ = static_cast<char>(c);
    return out;
  }
  *out++ = '\\';
  switch (c) {
    case 0x08: *out++ = 'b'; return out;
    case 0x09: *out++ = 't'; return out;
    case 0x0A: *out++ = 'n'; return out;
    case 0x0C: *out++ = 'f'; return out;
    case 0x0D: *out++ = 'r'; return out;
    default:
      *out++ = 'u';
      for (int shift = 12; shift >= 0; shift -= 4) *out++ = kHex[(c >> shift) & 0xF];
      return out;
  }
}

constexpr size_t kLongestEscape = 6;

// Double quotes around the escaped units, each unit widened by `widen`.
// Units go straight into the output's room, as many at a time as surely fit.
template <typename Unit, typename Widen>
void WriteQuotedUnits(TJSONOutput& output, std::basic_string_view<Unit> text, const Widen& widen) {
  output.Put('"');
  size_t i = 0;
  while (i < text.size()) {
    size_t batch = std::min(text.size() - i, output.Room() / kLongestEscape);
    if (batch == 0) {
      char16_t c = widen(text[i++]);
      output.Write(kLongestEscape, [c](char* out) { return static_cast<size_t>(Escape(c, out) - out); });
      continue;
    }
    char* start = output.Cursor();
    char* out = start;
    for (size_t end = i + batch; i < end; ++i) {
      // Printable ASCII other than the three escaped characters is the same
      // unit in every form, so most units need no widening.
      auto unit = static_cast<std::make_unsigned_t<Unit>>(text[i]);
      if (unit >= 0x20 && unit <= 0x7E && unit != '"' && unit != '\\' && unit != '/') {
        *out++ = static_cast<char>(unit);
      } else {
        out = Escape(widen(text[i]), out);
      }
    }
    output.Advance(static_cast<size_t>(out - start));
  }
  output.Put('"');
}

}  // namespace

void WriteFloat(TJSONOutput& output, double value) {
  output.Write(32, [value](char* buffer) { return FormatFloat(value, buffer); });
}

std::string FloatText(double value) {
  char buffer[32];
  return std::string(buffer, FormatFloat(value, buffer));
}

void WriteQuoted(TJSONOutput& output, std::u16string_view text) {
  WriteQuotedUnits(output, text, [](char16_t c) { return c; });
}

void WriteQuotedNarrow(TJSONOutput& output, std::string_view text) {
  WriteQuotedUnits(output, text, [](char c) { return AnsiCharToWide(static_cast<unsigned char>(c)); });
}

}  // namespace tarn
