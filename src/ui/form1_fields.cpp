#include "ui/form1_fields.h"

#include <array>
#include <optional>

#include "platform/portable/exceptions.h"
#include "platform/portable/int_text.h"
#include "settings/setting_values.h"
#include "ui/form1_layout.h"

namespace tarn {

namespace {

using namespace form1;
using enum SettingId;
using enum FieldLoad;
using U = FieldUnit;

constexpr std::array<PageField, 5> kClientPage{{
    {CheckBox4, kDebug, U::kFlag},
    // Empty when "Forçar endereço do servidor" is unchecked (see OK).
    {Edit4, kForceAddress, U::kText},
    {CheckBox6, kRequestCompression, U::kFlag},
    {Edit8, kTimeout, U::kScaled, kEveryLoad, &kMinutesScale, Label7},
    {Edit12, kUserTimeout, U::kScaled, kEveryLoad, &kMinutesScale, Label15},
}};

// The save empties the counter range and the forced counter address, so
// that the server takes the whole span; the hidden controls beyond the
// page's width still carry their values.
constexpr std::array<PageField, 15> kServerPage{{
    {kNoControl, kRangeIndex, U::kFixed, kNever},
    {kNoControl, kRangeMax, U::kFixed, kNever},
    {kNoControl, kRangeStart, U::kFixed, kNever},
    {kNoControl, kRangeEnd, U::kFixed, kNever},
    {kNoControl, kForceCounterAddress, U::kFixed, kNever},
    {Edit5, kPriority, U::kStrictInteger},
    {CheckBox10, kCacheEnabled, U::kFlag},
    // Read by no load: the boxes always open unchecked.
    {CheckBox3, kForceLogWrites, U::kFlag},
    {CheckBox5, kAllowRemoteShutdown, U::kFlag},
    {CheckBox7, kForceCompatibility, U::kFlag},
    {Edit9, kLogLevel, U::kInteger},
    {Edit11, kLogSizeLimit, U::kScaled, kEveryLoad, &kMegabytesScale, Label12},
    {kNoControl, kMultiProcessMode, U::kFixed, kNever, nullptr, kNoControl, "2"},
    // Reloading the page keeps the state the user gave the box.
    {CheckBox8, kAsService, U::kFlag, kWhenOpened},
    {Edit10, kMaxBandwidth, U::kScaled, kEveryLoad, &kKbpsScale, Label10},
}};

[[noreturn]] void RefuseEntry(const WindowView& view, const PageField& field, std::string_view entry) {
  const EntryScale& scale = *field.scale;
  std::string name = view.Text(field.label);
  if (!name.empty() && name.back() == ':') name.pop_back();
  bool too_large = StrToIntDef(entry, scale.fallback) > 0;
  throw Exception(name + (too_large ? ": o maior valor aceito \xE9 " + IntToStr(LargestEntry(scale))
                                    : ": o menor valor aceito \xE9 " + IntToStr(SmallestEntry(scale))) +
                  " " + scale.unit);
}

}  // namespace

std::span<const PageField> ClientPageFields() { return kClientPage; }
std::span<const PageField> ServerPageFields() { return kServerPage; }

void LoadPageField(WindowView& view, const PageField& field) {
  switch (field.unit) {
    case U::kText: view.SetText(field.control, LoadedText(field.setting)); break;
    case U::kFlag: view.SetChecked(field.control, LoadedNumber(field.setting) != 0); break;
    case U::kInteger:
    case U::kStrictInteger: view.SetText(field.control, IntToStr(LoadedNumber(field.setting))); break;
    case U::kScaled: view.SetText(field.control, field.scale->shown(LoadedNumber(field.setting))); break;
    case U::kFixed: break;
  }
}

std::string StoredFieldText(const WindowView& view, const PageField& field) {
  switch (field.unit) {
    case U::kText: return view.Text(field.control);
    case U::kFlag: return BoolToStr(view.Checked(field.control));
    case U::kInteger: return IntToStr(StrToIntDef(view.Text(field.control), 0));
    case U::kStrictInteger: return IntToStr(StrToInt(view.Text(field.control)));
    case U::kScaled: {
      std::string entry = view.Text(field.control);
      std::optional<int32_t> stored = ScaleEntry(entry, *field.scale);
      if (!stored) RefuseEntry(view, field, entry);
      return IntToStr(*stored);
    }
    case U::kFixed: return field.fixed;
  }
  return {};
}

void SavePageFields(const WindowView& view, std::span<const PageField> fields, TIniFile& file) {
  for (const PageField& field : fields) {
    const Setting& setting = DescribeSetting(field.setting);
    file.WriteString(setting.section->name, setting.WrittenKey(), StoredFieldText(view, field));
  }
}

}  // namespace tarn
