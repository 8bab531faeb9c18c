// The settings window's conversions between the units the user sees
// (minutes, megabytes, Kb/s) and the units stored (milliseconds, bytes,
// the stored bandwidth).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Milliseconds as whole minutes, truncated toward zero: 90000 shows "1".
std::string MillisecondsToMinutesText(int32_t milliseconds);
// Bytes as megabytes, rounded half to even: 2.5 MB shows "2", 3.5 MB "4".
std::string BytesToMegabytesText(int32_t bytes);
// The stored bandwidth as Kb/s, rounded half to even.
std::string BandwidthToKbpsText(int32_t stored);

// A unit the user sees: how a stored value is shown in it, and how an entry
// is stored: multiplied by `factor`; text that is not integer text counts as
// `fallback`.
struct EntryScale {
  int32_t factor;
  int32_t fallback;
  const char* unit;  // Windows-1252 text
  std::string (*shown)(int32_t stored);
};
inline constexpr EntryScale kMinutesScale{60000, 10, "minutos", &MillisecondsToMinutesText};
inline constexpr EntryScale kMegabytesScale{1 << 20, 0, "MB", &BytesToMegabytesText};
inline constexpr EntryScale kKbpsScale{1 << 10, 0, "Kb/s", &BandwidthToKbpsText};

// The stored value of an entry, or nothing when it does not fit in 32 bits.
std::optional<int32_t> ScaleEntry(std::string_view text, const EntryScale& scale);
// The largest and smallest entries whose stored value fits in 32 bits.
int32_t LargestEntry(const EntryScale& scale);
int32_t SmallestEntry(const EntryScale& scale);

}  // namespace tarn
