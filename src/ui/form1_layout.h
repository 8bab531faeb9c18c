// The layout of the settings window TForm1: its window properties and one
// table of its controls, from which the toolkit builds them.
#pragma once

#include <span>

#include "ui/toolkit.h"

namespace tarn {

// The controls of TForm1, in the order of the layout table.
namespace form1 {
enum Control : ControlId {
  PageControl1,
  TabSheet1,
  TabSheet2,
  Panel1,
  Button1,
  Button2,
  Label9,
  Edit9,
  Label12,
  Edit11,
  Label13,
  Label10,
  Edit10,
  Label11,
  Bevel2,
  CheckBox8,
  Button4,
  Label4,
  Edit5,
  CheckBox3,
  CheckBox5,
  CheckBox7,
  CheckBox10,
  CheckBox2,
  Edit4,
  Button3,
  Label7,
  Edit8,
  Label8,
  Label15,
  Edit12,
  Label16,
  CheckBox4,
  CheckBox6,
  kControlCount
};
}  // namespace form1

// The designed caption of the window, Windows-1252 text.
inline constexpr char kForm1Caption[] = "Configura\xE7\xF5" "es";

const WindowSpec& Form1Window();
std::span<const ControlSpec> Form1Layout();

}  // namespace tarn
