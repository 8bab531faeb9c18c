#include "settings/counter_range.h"

#include "platform/file_system.h"
#include "platform/portable/int_text.h"
#include "settings/settings_source.h"

namespace tarn {

namespace {

constexpr int32_t kSpan = 2147000000;

std::string counter_path;
int32_t range_start = -1;
int32_t range_end = -1;
int32_t range_index = -1;
int32_t range_max = -1;
int32_t range_low = 0;
int32_t range_high = kSpan;

void SetDefaults() {
  counter_path.clear();
  range_start = range_end = range_index = range_max = -1;
  range_low = 0;
  range_high = kSpan;
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

void CounterRangeSettings::LoadFrom(const std::string& dir) {
  SetDefaults();
  std::string start, end, index, max;
  std::string file = SettingsFilePath(dir, "tarnserver.ini");
  auto read = [&](SettingsSource& source) {
    counter_path = source.ReadString("CounterPath", "");
    start = source.ReadString("RangeStart", "");
    end = source.ReadString("RangeEnd", "");
    index = source.ReadString("RangeIndex", "");
    max = source.ReadString("RangeMax", "");
  };
  if (FileExists(file)) {
    IniSource source(file, "QUORVAN");
    read(source);
  } else {
    TRegistry registry(RegAccess::kAll);
    RegistrySource source(registry.OpenKey(std::string(kSettingsKey) + "\\QUORVAN", true) ? &registry : nullptr);
    read(source);
  }
  range_start = StrToIntDef(start, -1);
  range_end = StrToIntDef(end, -1);
  range_index = StrToIntDef(index, -1);
  range_max = StrToIntDef(max, -1);
  CounterBounds bounds = ComputeCounterBounds(start, end, index, max);
  range_low = bounds.low;
  range_high = bounds.high;
  if (counter_path.empty()) counter_path = dir;
}

void CounterRangeSettings::Release() { SetDefaults(); }

void CounterRangeSettings::ForEachValue(
    const std::function<void(std::string_view key, const std::string& text)>& visit) {
  visit("CounterPath", counter_path);
  visit("RangeStart", IntToStr(range_start));
  visit("RangeEnd", IntToStr(range_end));
  visit("RangeIndex", IntToStr(range_index));
  visit("RangeMax", IntToStr(range_max));
  visit("RangeLow", IntToStr(range_low));
  visit("RangeHigh", IntToStr(range_high));
}

const std::string& CounterRangeSettings::CounterPath() { return counter_path; }
int32_t CounterRangeSettings::RangeStart() { return range_start; }
int32_t CounterRangeSettings::RangeEnd() { return range_end; }
int32_t CounterRangeSettings::RangeIndex() { return range_index; }
int32_t CounterRangeSettings::RangeMax() { return range_max; }
int32_t CounterRangeSettings::RangeLow() { return range_low; }
int32_t CounterRangeSettings::RangeHigh() { return range_high; }

}  // namespace tarn
