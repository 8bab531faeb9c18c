// The two hashes of 8-bit text keys that THashList chooses between.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn {

// Paul Hsieh's SuperFastHash in its reference form: seeded with the length,
// reading 16-bit little-endian words, tail bytes sign-extended, and the final
// avalanche. The empty text hashes to 0.
uint32_t SuperFastHash(std::string_view text);

// A one-at-a-time hash over the bytes with a to z folded onto A to Z, without
// a final mixing step, so that keys that differ only in ASCII letter case
// hash alike.
uint32_t CaseInsensitiveHash(std::string_view text);

}  // namespace tarn
