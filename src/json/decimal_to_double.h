// Exact conversion of a decimal number, given as its digits (at most 19, so
// that they fit in 64 bits) and a power of ten, to the nearest double, ties
// to even. The common case costs one or two 64 x 64-bit multiplications by a
// table of powers of five; the rare numbers this cannot decide (below the
// smallest normal double, beyond the largest) are left to the caller.
#pragma once

#include <cstdint>

namespace tarn {

// mantissa x 10^scale correctly rounded into `value`, or false when the
// result would be subnormal or infinite, or cannot be decided here.
bool DecimalToDouble(uint64_t mantissa, int64_t scale, double& value) noexcept;

}  // namespace tarn
