#include "json/decimal_to_double.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

namespace tarn {
namespace {

// What std::from_chars reads for mantissa × 10^scale, as bits.
uint64_t Expected(uint64_t mantissa, int64_t scale) {
  std::string text = std::to_string(mantissa) + "e" + std::to_string(scale);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return std::bit_cast<uint64_t>(value);
}

// A conversion that is given must be the correctly rounded double; the only
// ones refused are those whose result is subnormal or infinite.
void Check(uint64_t mantissa, int64_t scale) {
  double value = -1;
  uint64_t expected = Expected(mantissa, scale);
  if (DecimalToDouble(mantissa, scale, value)) {
    ASSERT_EQ(std::bit_cast<uint64_t>(value), expected) << mantissa << "e" << scale;
  } else {
    uint64_t exponent_bits = expected & 0x7FF0000000000000;
    ASSERT_TRUE(exponent_bits == 0 || exponent_bits == 0x7FF0000000000000 || expected == Expected(0, 0))
        << mantissa << "e" << scale << " refused";
  }
}

TEST(DecimalToDouble, EveryPowerOfTheTableRoundsCorrectly) {
  std::mt19937_64 random(5);
  for (int64_t scale = -360; scale <= 330; ++scale) {
    for (int i = 0; i < 300; ++i) {
      uint64_t mantissa = random() % 10000000000000000000u;
      mantissa >>= random() % 64;  // short mantissas as well as 19-digit ones
      Check(mantissa, scale);
    }
    Check(1, scale);
    Check(9999999999999999999u, scale);
  }
}

// Values exactly halfway between two doubles round to the one with an even
// mantissa; their neighbours round to the nearer one.
TEST(DecimalToDouble, HalfwayValuesRoundToEven) {
  std::mt19937_64 random(6);
  for (int i = 0; i < 200000; ++i) {
    int binary_exponent = 53 + static_cast<int>(random() % 11);
    uint64_t ulp = uint64_t{1} << (binary_exponent - 52);
    uint64_t below = (uint64_t{1} << binary_exponent) + (random() % (uint64_t{1} << 52)) * ulp;
    uint64_t mantissa = below + ulp / 2 + random() % 3 - 1;
    int64_t scale = 0;
    while (mantissa % 10 == 0) mantissa /= 10, ++scale;
    Check(mantissa, scale);
    // odd / 2^k, written with k decimal places, lies halfway at a small scale.
    uint64_t odd = (uint64_t{1} << 53) + 2 * (random() % (uint64_t{1} << 50)) + 1;
    int places = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < places; ++k) odd *= 5;
    Check(odd, -places);
  }
}

TEST(DecimalToDouble, LimitsOfTheNormalRange) {
  Check(17976931348623157, 292);  // the largest double
  Check(17976931348623158, 292);  // rounds down to it
  Check(17976931348623159, 292);  // infinite: refused
  Check(22250738585072014, -324);  // the smallest normal double
  Check(22250738585072011, -324);  // subnormal: refused
  Check(49406564584124654, -340);  // the smallest subnormal: refused
  double value = -1;
  EXPECT_TRUE(DecimalToDouble(0, 400, value));
  EXPECT_EQ(std::bit_cast<uint64_t>(value), 0u);
  EXPECT_FALSE(DecimalToDouble(1, 400, value));
  EXPECT_FALSE(DecimalToDouble(1, -400, value));
}

}  // namespace
}  // namespace tarn
