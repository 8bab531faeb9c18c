#include "settings/setting_values.h"

#include <array>
#include <optional>

#include "platform/portable/int_text.h"

namespace tarn {

namespace {

constexpr size_t kSettingCount = static_cast<size_t>(SettingId::kCount);

std::array<int32_t, kSettingCount> numbers{};
std::array<std::string, kSettingCount> texts;

size_t Index(SettingId id) { return static_cast<size_t>(id); }

int32_t CutToWidth(SettingType type, int32_t read) {
  switch (type) {
    case SettingType::kUInt16: return static_cast<uint16_t>(read);
    case SettingType::kInt16: return static_cast<int16_t>(read);
    case SettingType::kUInt8: return static_cast<uint8_t>(read);
    case SettingType::kFlag: return read != 0;
    default: return read;
  }
}

SettingRead ReadSetting(const Setting& setting, const SettingsSource& source) {
  size_t i = Index(setting.id);
  if (setting.type == SettingType::kText) {
    texts[i] = source.ReadText(setting, texts[i]);
    return {texts[i], !texts[i].empty()};
  }
  std::string text = source.ReadText(setting, "");
  std::optional<int32_t> read = TryStrToInt(text);
  if (read) numbers[i] = CutToWidth(setting.type, *read);
  return {std::move(text), read.has_value()};
}

}  // namespace

void ResetSettings(std::span<const Setting> settings) {
  for (const Setting& setting : settings) {
    numbers[Index(setting.id)] = setting.fallback;
    texts[Index(setting.id)].clear();
  }
}

std::vector<SettingRead> ReadSettings(std::span<const Setting> settings, const SettingsSource& source) {
  std::vector<SettingRead> reads;
  reads.reserve(settings.size());
  for (const Setting& setting : settings) reads.push_back(ReadSetting(setting, source));
  return reads;
}

int32_t LoadedNumber(SettingId id) { return numbers[Index(id)]; }

const std::string& LoadedText(SettingId id) { return texts[Index(id)]; }

std::string LoadedValueText(SettingId id) {
  return DescribeSetting(id).type == SettingType::kText ? LoadedText(id) : IntToStr(LoadedNumber(id));
}

void SetLoadedNumber(SettingId id, int32_t value) { numbers[Index(id)] = value; }

void SetLoadedText(SettingId id, std::string text) { texts[Index(id)] = std::move(text); }

void ForEachLoadedValue(std::span<const Setting> settings, const SettingVisitor& visit) {
  for (const Setting& setting : settings) {
    if (setting.readers != SettingReaders::kNone) visit(setting.key, LoadedValueText(setting.id));
  }
}

}  // namespace tarn
