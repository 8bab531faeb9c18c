#include "ui/unit_conversion.h"

#include <cmath>
#include <limits>

#include "platform/portable/int_text.h"

namespace tarn {

namespace {

// Rounds to the nearest whole number, halves to the even neighbour.
int64_t RoundHalfToEven(double value) {
  double lower = std::floor(value);
  double fraction = value - lower;
  if (fraction > 0.5) return static_cast<int64_t>(lower) + 1;
  if (fraction < 0.5) return static_cast<int64_t>(lower);
  int64_t whole = static_cast<int64_t>(lower);
  return whole % 2 == 0 ? whole : whole + 1;
}

}  // namespace

std::string MillisecondsToMinutesText(int32_t milliseconds) {
  return IntToStr(static_cast<int64_t>(std::trunc(milliseconds / 1000.0 / 60.0)));
}

std::string BytesToMegabytesText(int32_t bytes) { return IntToStr(RoundHalfToEven(bytes / 1024.0 / 1024.0)); }

std::string BandwidthToKbpsText(int32_t stored) { return IntToStr(RoundHalfToEven(stored / 1024.0)); }

std::optional<int32_t> ScaleEntry(std::string_view text, const EntryScale& scale) {
  int64_t stored = int64_t{StrToIntDef(text, scale.fallback)} * scale.factor;
  if (stored > std::numeric_limits<int32_t>::max() || stored < std::numeric_limits<int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(stored);
}

int32_t LargestEntry(const EntryScale& scale) { return std::numeric_limits<int32_t>::max() / scale.factor; }

int32_t SmallestEntry(const EntryScale& scale) { return std::numeric_limits<int32_t>::min() / scale.factor; }

}  // namespace tarn
