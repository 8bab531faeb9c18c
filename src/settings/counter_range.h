// The counter directory and the range of counter numbers, held for the life
// of the process. Loaded once at start-up from section QUORVAN of
// tarnserver.ini beside the executable when that file exists, otherwise from
// the registry subkey QUORVAN (created when missing).
//
// The range is either explicit (RangeStart and RangeEnd both given) or the
// RangeIndex-th of RangeMax equal slices of 0 to 2147000000, neighbouring
// slices sharing their end points. An index outside 1 to RangeMax, or a
// RangeMax that is not positive, would give bounds outside that span or
// divide by zero; such settings select the whole span (index 1 of 1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_values.h"

namespace tarn {

class CounterRangeSettings final {
 public:
  CounterRangeSettings() = delete;

  static void Load();
  // Loads from `dir` (with its trailing separator) and the registry.
  static void LoadFrom(const std::string& dir, SettingsKeyUse key_use = SettingsKeyUse::kCreateWhenMissing);
  static void Release();
  static void ForEachValue(const SettingVisitor& visit);

  static const std::string& CounterPath();
  // The keys as integer text, -1 when missing or not integer text.
  static int32_t RangeStart();
  static int32_t RangeEnd();
  static int32_t RangeIndex();
  static int32_t RangeMax();
  // The computed bounds.
  static int32_t RangeLow();
  static int32_t RangeHigh();
};

struct CounterBounds {
  int32_t low;
  int32_t high;
};

// The bounds for the four keys' texts.
CounterBounds ComputeCounterBounds(std::string_view start, std::string_view end, std::string_view index,
                                   std::string_view max);

}  // namespace tarn
