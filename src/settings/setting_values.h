// The values that the settings loads hold for the life of the process, one
// per setting of the table, and the one walk that reads them from a source.
// Each load writes only its own settings, and only at start-up and shutdown.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/setting_table.h"
#include "settings/settings_source.h"

namespace tarn {

// Returns each of `settings` to its default.
void ResetSettings(std::span<const Setting> settings);

// What a load read for one setting: the source's text (empty when the
// source lacks the setting) and whether that text set the value.
struct SettingRead {
  std::string text;
  bool set;
};

// Reads each of `settings` from `source`, in order. A setting keeps its
// value where the source lacks it or where its text is not integer text for
// a number or a flag; text, even empty text, replaces text. Returns what was
// read, one entry per setting.
std::vector<SettingRead> ReadSettings(std::span<const Setting> settings, const SettingsSource& source);

// The value held: a number cut to its width, a flag as 1 or 0.
int32_t LoadedNumber(SettingId id);
const std::string& LoadedText(SettingId id);
// The value as text: numbers in decimal, flags as 1 or 0.
std::string LoadedValueText(SettingId id);

void SetLoadedNumber(SettingId id, int32_t value);
void SetLoadedText(SettingId id, std::string text);

// Calls `visit` with the key and the value text of each of `settings` that
// a load reads, in order.
using SettingVisitor = std::function<void(std::string_view key, const std::string& text)>;
void ForEachLoadedValue(std::span<const Setting> settings, const SettingVisitor& visit);

}  // namespace tarn
