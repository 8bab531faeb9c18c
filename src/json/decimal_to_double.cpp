#include "json/decimal_to_double.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <string>
#include <system_error>

namespace tarn {

namespace {

// ---------------------------------------------------------------------------
// The table: for each power of ten 10^q, the 128 leading bits of 5^q (the
// factor two is the binary exponent's business). Positive powers are
// truncated; negative ones are the reciprocal rounded up, truncated to 128
// bits when it is longer. Made from exact integers, at compile time where the
// compiler's constant evaluation reaches that far, else once on first use.

constexpr int kSmallestPower = -342;  // below it every 19-digit mantissa is zero
constexpr int kLargestPower = 308;    // above it every mantissa is infinite
constexpr size_t kPowerCount = kLargestPower - kSmallestPower + 1;

// An unsigned integer of up to 1,792 bits, least significant limb first:
// just what the table needs.
struct BigNumber {
  std::array<uint32_t, 56> limbs{};

  constexpr void Multiply(uint32_t factor) {
    uint64_t carry = 0;
    for (uint32_t& limb : limbs) {
      uint64_t product = uint64_t{limb} * factor + carry;
      limb = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
  }

  // Floor division; floor(floor(x / a) / b) is floor(x / ab), so repeated
  // divisions stay exact.
  constexpr void Divide(uint32_t divisor) {
    uint64_t remainder = 0;
    for (size_t i = limbs.size(); i-- > 0;) {
      uint64_t part = (remainder << 32) | limbs[i];
      limbs[i] = static_cast<uint32_t>(part / divisor);
      remainder = part % divisor;
    }
  }

  constexpr void AddOne() {
    for (uint32_t& limb : limbs) {
      if (++limb != 0) break;
    }
  }

  constexpr int BitLength() const {
    for (size_t i = limbs.size(); i-- > 0;) {
      if (limbs[i] != 0) return static_cast<int>(i * 32) + std::bit_width(limbs[i]);
    }
    return 0;
  }

  // The 32 bits from bit `first` up; bits outside the number read as zero.
  constexpr uint32_t Limb(int first) const {
    auto limb_at = [this](int index) -> uint64_t {
      return index >= 0 && index < static_cast<int>(limbs.size()) ? limbs[static_cast<size_t>(index)] : 0;
    };
    int index = first >= 0 ? first / 32 : -((-first + 31) / 32);
    int shift = first - index * 32;
    uint64_t pair = limb_at(index) | (limb_at(index + 1) << 32);
    return static_cast<uint32_t>(pair >> shift);
  }

  // The number shifted right (or left, for a negative count).
  constexpr BigNumber Shifted(int count) const {
    BigNumber result;
    for (size_t i = 0; i < limbs.size(); ++i) result.limbs[i] = Limb(count + static_cast<int>(i) * 32);
    return result;
  }

  // The 128 leading bits: truncated when longer, moved up when shorter.
  constexpr std::array<uint64_t, 2> Leading128() const {
    BigNumber top = Shifted(BitLength() - 128);
    return {uint64_t{top.limbs[3]} << 32 | top.limbs[2], uint64_t{top.limbs[1]} << 32 | top.limbs[0]};
  }
};

using PowerTable = std::array<std::array<uint64_t, 2>, kPowerCount>;

constexpr PowerTable MakePowersOfFive() {
  PowerTable table{};
  BigNumber power;
  power.limbs[0] = 1;
  for (int q = 0; q <= kLargestPower; ++q) {
    table[static_cast<size_t>(q - kSmallestPower)] = power.Leading128();
    power.Multiply(5);
  }
  // floor(2^b / 5^n) for every b up to kScale is floor(2^kScale / 5^n)
  // shifted right, and 2^kScale / 5^n follows by one division per step.
  constexpr int kScale = 1760;
  BigNumber reciprocal;
  reciprocal.limbs[kScale / 32] = 1;
  BigNumber five_power;
  five_power.limbs[0] = 1;
  for (int n = 1; n <= -kSmallestPower; ++n) {
    reciprocal.Divide(5);
    five_power.Multiply(5);
    int bits = five_power.BitLength();  // 2^bits is the least power of two above 5^n
    // Up to 5^27 the 128 bits hold the reciprocal whole, rounded up, which
    // lets exact halfway cases be recognised; beyond, it is truncated.
    int b = n <= 27 ? bits + 127 : 2 * bits + 128;
    BigNumber rounded_up = reciprocal.Shifted(kScale - b);
    rounded_up.AddOne();
    table[static_cast<size_t>(-n - kSmallestPower)] = rounded_up.Leading128();
  }
  return table;
}

const PowerTable& PowersOfFive() {
  static const PowerTable table = MakePowersOfFive();
  return table;
}

struct Product {
  uint64_t high;
  uint64_t low;
};

Product Multiply(uint64_t a, uint64_t b) noexcept {
#ifdef __SIZEOF_INT128__
  unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#else
  // Four 32 x 32-bit products, for compilers without a 128-bit integer.
  uint64_t a_low = a & 0xFFFFFFFF, a_high = a >> 32, b_low = b & 0xFFFFFFFF, b_high = b >> 32;
  uint64_t low = a_low * b_low;
  uint64_t middle_one = a_high * b_low + (low >> 32);
  uint64_t middle_two = a_low * b_high + (middle_one & 0xFFFFFFFF);
  return {a_high * b_high + (middle_one >> 32) + (middle_two >> 32), (middle_two << 32) | (low & 0xFFFFFFFF)};
#endif
}

constexpr int kExplicitBits = 52;  // stored mantissa bits of a double
constexpr int kExponentBias = 1023;

}  // namespace

// The mantissa, moved up to its top bit, times the 128-bit power of five
// gives the double's 53 bits and a rounding bit in the product's high word;
// the low word is consulted only when the bits below them are all ones,
// where a carry from further down could change them.
bool DecimalToDouble(uint64_t mantissa, int64_t scale, double& value) noexcept {
  if (mantissa == 0) {
    value = 0;
    return true;
  }
  if (scale < kSmallestPower || scale > kLargestPower) return false;
  const std::array<uint64_t, 2>& power = PowersOfFive()[static_cast<size_t>(scale - kSmallestPower)];
  int leading_zeros = std::countl_zero(mantissa);
  uint64_t normalised = mantissa << leading_zeros;
  Product product = Multiply(normalised, power[0]);
  constexpr uint64_t kBelowRounding = ~uint64_t{0} >> (kExplicitBits + 3);
  if ((product.high & kBelowRounding) == kBelowRounding) {
    uint64_t carry_in = Multiply(normalised, power[1]).high;
    product.low += carry_in;
    if (product.low < carry_in) ++product.high;
    // Bits still all ones might yet carry: outside the powers where the
    // table is exact enough, leave such a number to the exhaustive reader.
    if (product.low == ~uint64_t{0} && (scale < -27 || scale > 55)) return false;
  }
  int top_bit = static_cast<int>(product.high >> 63);
  int shift = top_bit + 64 - kExplicitBits - 3;
  uint64_t bits = product.high >> shift;
  // floor(log2(10^scale)) + 63 gives the exponent of the product's top bit.
  int64_t exponent = ((217706 * scale) >> 16) + 63 + top_bit - leading_zeros + kExponentBias;
  if (exponent <= 0) return false;  // subnormal
  // A product exactly halfway between two doubles rounds to the even one;
  // only powers from 10^-4 to 10^23 can give such a product.
  if (product.low <= 1 && scale >= -4 && scale <= 23 && (bits & 3) == 1 && (bits << shift) == product.high) {
    bits &= ~uint64_t{1};
  }
  bits += bits & 1;
  bits >>= 1;
  if (bits >= uint64_t{2} << kExplicitBits) {
    bits = uint64_t{1} << kExplicitBits;
    ++exponent;
  }
  if (exponent >= 0x7FF) return false;  // infinite
  bits &= ~(uint64_t{1} << kExplicitBits);
  bits |= static_cast<uint64_t>(exponent) << kExplicitBits;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// The significant digits are written as 0.DIGITS times a power of ten that
// lies within a few hundred of zero, whatever the digits' number and the
// scale, so the general conversion never meets an exponent larger than it can
// count.
bool DigitsToDouble(std::string_view whole, std::string_view fraction, int64_t scale, double& value) {
  std::string text = "0.";
  text.reserve(text.size() + whole.size() + fraction.size() + 24);
  for (std::string_view part : {whole, fraction}) {
    if (text.size() == 2) part.remove_prefix(std::min(part.find_first_not_of('0'), part.size()));
    text += part;
  }
  size_t last = text.find_last_not_of('0');
  if (last == 1) {  // no significant digit
    value = 0;
    return true;
  }
  scale += static_cast<int64_t>(text.size() - 1 - last);  // the trailing zeros
  text.resize(last + 1);
  // The value lies from 10^(magnitude - 1) up to 10^magnitude.
  int64_t magnitude = static_cast<int64_t>(text.size() - 2) + scale;
  if (magnitude > 310) return false;
  if (magnitude < -330) {
    value = 0;
    return true;
  }
  text += 'e';
  text += std::to_string(magnitude);
  std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return false;
    value = 0;
  }
  return true;
}

}  // namespace tarn
