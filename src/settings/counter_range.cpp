#include "settings/counter_range.h"

#include "platform/display_text.h"
#include "platform/file_system.h"
#include "platform/portable/int_text.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

using enum SettingId;

constexpr int32_t kSpan = 2147000000;

int32_t range_low = 0;
int32_t range_high = kSpan;

// The text each key gave, by its place among the counter-range keys.
std::string_view KeyText(const std::vector<SettingRead>& reads, SettingId id) {
  return reads[static_cast<size_t>(id) - static_cast<size_t>(kCounterPath)].text;
}

}  // namespace

CounterBounds ComputeCounterBounds(std::string_view start, std::string_view end, std::string_view index,
                                   std::string_view max) {
  if (!start.empty() && !end.empty()) return {StrToIntDef(start, 1), StrToIntDef(end, 0x7FFFFFFF)};
  int32_t slice = StrToIntDef(index, 1);
  int32_t count = StrToIntDef(max, 1);
  if (count <= 0 || slice < 1 || slice > count) slice = count = 1;
  int32_t step = kSpan / count;
  return {step * (slice - 1), step * slice};
}

void CounterRangeSettings::Load() { LoadFrom(ExeDir()); }

void CounterRangeSettings::LoadFrom(const std::string& dir, SettingsKeyUse key_use) {
  ResetSettings(CounterRangeKeys());
  std::string file = SettingsFilePath(dir, kCounterSection);
  std::vector<SettingRead> reads;
  if (SettingsFileThere(file)) {
    reads = ReadSettings(CounterRangeKeys(), IniSource(file));
  } else {
    TRegistry registry(RegAccess::kAll);
    bool opened = registry.OpenKey(SettingsKeyPath(kCounterSection), key_use == SettingsKeyUse::kCreateWhenMissing);
    reads = ReadSettings(CounterRangeKeys(), RegistrySource(opened ? &registry : nullptr));
  }
  CounterBounds bounds = ComputeCounterBounds(KeyText(reads, kRangeStart), KeyText(reads, kRangeEnd),
                                              KeyText(reads, kRangeIndex), KeyText(reads, kRangeMax));
  range_low = bounds.low;
  range_high = bounds.high;
  // Settings hold program text; the folder's name is the file system's.
  if (LoadedText(kCounterPath).empty()) SetLoadedText(kCounterPath, DisplayPath(dir));
}

void CounterRangeSettings::Release() {
  ResetSettings(CounterRangeKeys());
  range_low = 0;
  range_high = kSpan;
}

void CounterRangeSettings::ForEachValue(const SettingVisitor& visit) {
  ForEachLoadedValue(CounterRangeKeys(), visit);
  visit("RangeLow", IntToStr(range_low));
  visit("RangeHigh", IntToStr(range_high));
}

const std::string& CounterRangeSettings::CounterPath() { return LoadedText(kCounterPath); }
int32_t CounterRangeSettings::RangeStart() { return LoadedNumber(kRangeStart); }
int32_t CounterRangeSettings::RangeEnd() { return LoadedNumber(kRangeEnd); }
int32_t CounterRangeSettings::RangeIndex() { return LoadedNumber(kRangeIndex); }
int32_t CounterRangeSettings::RangeMax() { return LoadedNumber(kRangeMax); }
int32_t CounterRangeSettings::RangeLow() { return range_low; }
int32_t CounterRangeSettings::RangeHigh() { return range_high; }

}  // namespace tarn
