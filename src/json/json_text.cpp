#include "json/json_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

constexpr uint64_t kPowersOfTen[] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000,
                                     10000000000000000,
                                     100000000000000000,
                                     1000000000000000000};
constexpr uint64_t kFifteenDigitsFirst = kPowersOfTen[kSignificantDigits - 1];
constexpr uint64_t kFifteenDigitsEnd = kPowersOfTen[kSignificantDigits];

// The digits of a number below 10^8, eight of them with leading zeros, as
// the bytes of a little-endian word: the first digit is the lowest byte.
uint64_t EightDigits(uint32_t value) {
  static_assert(std::endian::native == std::endian::little);
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  auto pair = [](uint32_t below_100) {
    uint16_t digits;
    std::memcpy(&digits, kPairs + below_100 * 2, 2);
    return static_cast<uint64_t>(digits);
  };
  uint32_t high = value / 10000;
  uint32_t low = value % 10000;
  return pair(high / 100) | pair(high % 100) << 16 | pair(low / 100) << 32 | pair(low % 100) << 48;
}

// The 15 significant digits of a value, as the bytes of a little-endian
// 16-byte word (the first digit lowest, '0' after the last one), how many
// there are without trailing zeros, and the decimal exponent of the first.
// The text stays in registers until it is stored into the output.
struct Rounded {
  unsigned __int128 text;
  int count;
  int exponent;
};

// The digits of a number from 10^14 to 10^15 - 1. The trailing zeros are
// counted in the words the digits are built in.
Rounded FifteenDigits(uint64_t number, int exponent) {
  constexpr uint64_t kZeros = 0x3030303030303030;
  // Seven digits: the leading zero of the eight shifted out.
  uint64_t first = EightDigits(static_cast<uint32_t>(number / 100000000)) >> 8;
  uint64_t last = EightDigits(static_cast<uint32_t>(number % 100000000));
  unsigned __int128 text = first | static_cast<unsigned __int128>(last) << 56;
  int count = 0;
  if (uint64_t differ = last ^ kZeros) {
    count = kSignificantDigits - std::countl_zero(differ) / 8;
  } else {
    // The top byte of `first` is the zero shifted in, not a digit.
    count = 7 - (std::countl_zero(first ^ (kZeros >> 8)) - 8) / 8;
  }
  return {text, count, exponent};
}

// The common case, values from 0.001 up to 10^15, in integers and exactly:
// the value is m / 2^shift with a 53-bit m, so m × 10^k fits in 128 bits,
// and its low `shift` bits are the fraction of value × 10^k that decides the
// rounding (an exact half rounds to even, as the C library does). False
// outside the range.
bool ScaledDigits(double value, Rounded& rounded) {
  if (!(value >= 1e-3 && value < 1e15)) return false;
  auto bits = std::bit_cast<uint64_t>(value);
  auto biased_exponent = static_cast<int>(bits >> 52);
  uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  int shift = 1075 - biased_exponent;  // from 3 to 62 in this range
  // The value is below 10^point and not below 10^(point - 1). A binary
  // exponent b spans less than one decade, so the point is floor(b × log10 2)
  // + 1 (computed in integers) or one more, which one comparison decides.
  // The powers below 1 are not exact, but each lies just above the true
  // power with no double between the two, so the comparison is exact too.
  static constexpr double kPowers[] = {1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5, 1e6,
                                       1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  int point = ((biased_exponent - 1023) * 78913 >> 18) + 1;
  if (value >= kPowers[point + 3]) ++point;
  unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kPowersOfTen[kSignificantDigits - point];
  auto number = static_cast<uint64_t>(product >> shift);
  uint64_t fraction = static_cast<uint64_t>(product) & ((uint64_t{1} << shift) - 1);
  uint64_t half = uint64_t{1} << (shift - 1);
  if (fraction > half || (fraction == half && (number & 1) != 0)) ++number;
  if (number == kFifteenDigitsEnd) {
    number = kFifteenDigitsFirst;
    ++point;
  }
  rounded = FifteenDigits(number, point - 1);
  return true;
}

// The positive value rounded to 15 significant digits, trailing zeros
// dropped: the digits and the exponent of the first one. The shortest text
// that reads back as the value is usually enough to decide the rounding:
// the value lies within 0.12 units of its 15th digit from that text, so the
// text rounds the same way unless its tail is that close to one half.
// Subnormal values have fewer bits, so they always take the exact path.
Rounded RoundedDigits(double value) {
  Rounded rounded;
  if (ScaledDigits(value, rounded)) return rounded;
  int exponent = 0;
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
  char padded[16];
  std::memset(padded, '0', sizeof padded);
  std::memcpy(padded, all, static_cast<size_t>(count));
  std::memcpy(&rounded.text, padded, sizeof padded);
  rounded.count = count;
  rounded.exponent = exponent;
  return rounded;
}

// The room FormatFloat needs: the longest text, and the 16-byte copies that
// may write past it.
constexpr size_t kFloatRoom = 40;

// Formats into `buffer` (at least kFloatRoom bytes); returns the length.
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
  // Every store below writes all 16 bytes of the digits' word, whatever
  // part of it the text needs.
  Rounded rounded = RoundedDigits(std::fabs(value));
  int count = rounded.count;
  int point = rounded.exponent + 1;  // the value is 0.d1d2d3… × 10^point
  if (point > kSignificantDigits || point < -3) {
    *out++ = static_cast<char>(rounded.text & 0xFF);
    if (count > 1) {
      *out++ = '.';
      unsigned __int128 rest = rounded.text >> 8;
      std::memcpy(out, &rest, 16);
      out += count - 1;
    }
    *out++ = 'E';
    out = std::to_chars(out, buffer + kFloatRoom, point - 1).ptr;
  } else if (point > 0) {
    std::memcpy(out, &rounded.text, 16);
    out += point;
    if (count > point) {
      *out = '.';
      unsigned __int128 fraction = rounded.text >> (8 * point);
      std::memcpy(out + 1, &fraction, 16);
      out += 1 + count - point;
    }
  } else {
    std::memcpy(out, "0.000", 5);
    out += 2 - point;
    std::memcpy(out, &rounded.text, 16);
    out += count;
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

// Eight bytes, or four UTF-16 units, are checked and copied at once.
template <typename Unit>
constexpr size_t kUnitsPerWord = sizeof(uint64_t) / sizeof(Unit);

// Whether every unit of the word is printable ASCII written as itself (not
// '"', '\\' or '/'). Each test below sets the top bit of a unit that fails
// it; a borrow or carry can spoil only the units above one that failed, so
// the word as a whole is judged exactly.
template <typename Unit>
bool AllPlain(uint64_t word) noexcept {
  constexpr uint64_t kOnes = ~uint64_t{0} / ((uint64_t{1} << (8 * sizeof(Unit))) - 1);
  constexpr uint64_t kTops = kOnes << (8 * sizeof(Unit) - 1);
  auto any_below = [](uint64_t units, uint64_t limit) { return (units - kOnes * limit) & ~units & kTops; };
  uint64_t failed = any_below(word, 0x20) | ((word + kOnes * ((kTops / kOnes) - 0x7F)) | word);
  for (uint64_t escaped : {uint64_t{'"'}, uint64_t{'\\'}, uint64_t{'/'}}) {
    failed |= any_below(word ^ (kOnes * escaped), 1);
  }
  return (failed & kTops) == 0;
}

// Writes the word's units, all ASCII, as bytes; returns the position after them.
template <typename Unit>
char* PutNarrowed(uint64_t word, char* out) noexcept {
  if constexpr (sizeof(Unit) == 2) {
    word = (word | (word >> 8)) & 0x0000FFFF0000FFFF;
    word = (word | (word >> 16)) & 0xFFFFFFFF;
  }
  std::memcpy(out, &word, kUnitsPerWord<Unit>);
  return out + kUnitsPerWord<Unit>;
}

// Double quotes around the escaped units, each unit widened by `widen`.
// Units go straight into the output's room, as many at a time as surely fit;
// runs of plain ASCII a word at a time.
template <typename Unit, typename Widen>
void WriteQuotedUnits(TJSONOutput& output, std::basic_string_view<Unit> text, const Widen& widen) {
  constexpr size_t kWord = kUnitsPerWord<Unit>;
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
    for (size_t end = i + batch; i < end;) {
      size_t stop = std::min(end, i + kWord);
      if constexpr (std::endian::native == std::endian::little) {
        if (stop - i == kWord) {
          uint64_t word = 0;
          std::memcpy(&word, text.data() + i, sizeof word);
          if (AllPlain<Unit>(word)) {
            out = PutNarrowed<Unit>(word, out);
            i = stop;
            continue;
          }
        }
      }
      for (; i < stop; ++i) {
        // Printable ASCII other than the three escaped characters is the
        // same unit in every form, so most units need no widening.
        auto unit = static_cast<std::make_unsigned_t<Unit>>(text[i]);
        if (unit >= 0x20 && unit <= 0x7E && unit != '"' && unit != '\\' && unit != '/') {
          *out++ = static_cast<char>(unit);
        } else {
          out = Escape(widen(text[i]), out);
        }
      }
    }
    output.Advance(static_cast<size_t>(out - start));
  }
  output.Put('"');
}

}  // namespace

void WriteFloat(TJSONOutput& output, double value) {
  output.Write(kFloatRoom, [value](char* buffer) { return FormatFloat(value, buffer); });
}

std::string FloatText(double value) {
  char buffer[kFloatRoom];
  return std::string(buffer, FormatFloat(value, buffer));
}

void WriteQuoted(TJSONOutput& output, std::u16string_view text) {
  WriteQuotedUnits(output, text, [](char16_t c) { return c; });
}

void WriteQuotedNarrow(TJSONOutput& output, std::string_view text) {
  WriteQuotedUnits(output, text, [](char c) { return AnsiCharToWide(static_cast<unsigned char>(c)); });
}

}  // namespace tarn
