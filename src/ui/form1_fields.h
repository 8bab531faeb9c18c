// The two pages of the settings window as data: each field binds a control
// to the setting it shows, in the unit the user sees. The page load, the
// validation at OK and the page save all walk these tables; a page's fields
// are listed in the order the save writes them.
#pragma once

#include <span>
#include <string>

#include "platform/portable/ini_file.h"
#include "settings/setting_table.h"
#include "ui/toolkit.h"
#include "ui/unit_conversion.h"

namespace tarn {

// No control: the field always stores its fixed text.
inline constexpr ControlId kNoControl = -2;

enum class FieldUnit {
  kText,           // an edit's text as it is
  kFlag,           // a check box, stored as 1 or 0
  kInteger,        // integer text; other text stores 0
  kStrictInteger,  // integer text; other text is refused
  kScaled,         // a number in the unit of `scale`
  kFixed,          // no control: stores `fixed`
};

// When the page puts the loaded setting into the control.
enum class FieldLoad {
  kEveryLoad,   // each time the page is loaded
  kWhenOpened,  // only as the window opens, so that reloading the page keeps it
  kNever,       // the field has no control
};

struct PageField {
  ControlId control;
  SettingId setting;
  FieldUnit unit;
  FieldLoad load = FieldLoad::kEveryLoad;
  const EntryScale* scale = nullptr;  // for kScaled
  ControlId label = kNoControl;       // names a scaled field when its entry is refused
  const char* fixed = "";             // for kFixed
};

std::span<const PageField> ClientPageFields();
std::span<const PageField> ServerPageFields();

// Puts the loaded setting into the field's control, in the unit it shows.
void LoadPageField(WindowView& view, const PageField& field);

// The text the field stores. Raises, naming the field, when a scaled entry
// does not fit in the stored 32 bits, and EConvertError when a strict
// integer entry is not integer text.
std::string StoredFieldText(const WindowView& view, const PageField& field);

// Puts every field of a page into `file`, in order, under the key the
// setting is written as.
void SavePageFields(const WindowView& view, std::span<const PageField> fields, TIniFile& file);

}  // namespace tarn
