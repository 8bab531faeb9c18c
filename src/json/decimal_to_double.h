// Exact conversion of a decimal number, given as its digits and a power of
// ten, to the nearest double, ties to even. With at most 19 digits (they fit
// in 64 bits) the common case costs one or two 64 x 64-bit multiplications by
// a table of powers of five; the rare numbers this cannot decide (below the
// smallest normal double, beyond the largest) and longer digit strings take
// the general conversion, which reads any number of digits.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn {

// mantissa x 10^scale correctly rounded into `value`, or false when the
// result would be subnormal or infinite, or cannot be decided here.
bool DecimalToDouble(uint64_t mantissa, int64_t scale, double& value) noexcept;

// The digits before the point followed by those after it (either part may be
// empty, leading zeros allowed), read as one integer, times 10^scale:
// correctly rounded into `value` for any number of digits and any scale. A
// value too small for a double reads as zero; false when it is too large.
bool DigitsToDouble(std::string_view whole, std::string_view fraction, int64_t scale, double& value);

}  // namespace tarn
