#include "ui/form1_layout.h"

#include <array>

#include "ui/form1.h"

namespace tarn {

namespace {

using namespace form1;
using K = ControlKind;

EventHandler On(void (TForm1::*handler)()) { return static_cast<EventHandler>(handler); }

constexpr WindowSpec kWindow{kForm1Caption, 280, 407, 3, "MS Sans Serif", 8};

}  // namespace

const WindowSpec& Form1Window() { return kWindow; }

std::span<const ControlSpec> Form1Layout() {
  // Captions are Windows-1252 text. The hidden server controls at a left of
  // 331 or more lie beyond the page's width: never seen, they still carry the
  // values that the server page loads and saves.
  static const std::array<ControlSpec, kControlCount> kLayout{{
      // id, name, kind, parent, caption, left, top, width, height, shown, tab order, handler,
      // the control whose caption names an edit and the one whose caption describes it (the unit)
      {PageControl1, "PageControl1", K::kPageControl, kWindowClientArea, "", 0, 0, 280, 378, true, 1, nullptr},
      {TabSheet1, "TabSheet1", K::kTabSheet, PageControl1, "Servidor", 0, 0, 0, 0, true, 0, nullptr},
      {TabSheet2, "TabSheet2", K::kTabSheet, PageControl1, "Cliente", 0, 0, 0, 0, true, 0, nullptr},
      {Panel1, "Panel1", K::kPanel, kWindowClientArea, "", 0, 378, 280, 29, true, 2, nullptr},
      {Button1, "Button1", K::kButton, Panel1, "OK", 125, 3, 75, 25, true, 1, On(&TForm1::Button1Click)},
      {Button2, "Button2", K::kButton, Panel1, "Cancelar", 203, 3, 75, 25, true, 2, On(&TForm1::Button2Click)},
      {Label9, "Label9", K::kLabel, TabSheet1, "Log do serv.:", 17, 249, 62, 13, true, 0, nullptr},
      {Edit9, "Edit9", K::kEdit, TabSheet1, "0", 99, 245, 47, 21, true, 1, nullptr, Label9},
      {Label12, "Label12", K::kLabel, TabSheet1, "Limite:", 152, 249, 30, 13, true, 0, nullptr},
      {Edit11, "Edit11", K::kEdit, TabSheet1, "100", 186, 245, 47, 21, true, 2, nullptr, Label12, Label13},
      {Label13, "Label13", K::kLabel, TabSheet1, "MB", 240, 249, 16, 13, true, 0, nullptr},
      {Label10, "Label10", K::kLabel, TabSheet1, "Limite de banda:", 17, 278, 78, 13, true, 0, nullptr},
      {Edit10, "Edit10", K::kEdit, TabSheet1, "", 99, 273, 47, 21, true, 3, nullptr, Label10, Label11},
      {Label11, "Label11", K::kLabel, TabSheet1, "Kb/s", 150, 278, 23, 13, true, 0, nullptr},
      {Bevel2, "Bevel2", K::kBevel, TabSheet1, "", 2, 315, 265, 2, false, 0, nullptr},
      {CheckBox8, "CheckBox8", K::kCheckBox, TabSheet1, "Servi\xE7o do Windows", 11, 323, 118, 17, false, 4,
       On(&TForm1::CheckBox8Click)},
      {Button4, "Button4", K::kButton, TabSheet1, "Iniciar", 182, 321, 83, 22, false, 5, On(&TForm1::Button4Click)},
      {Label4, "Label4", K::kLabel, TabSheet1, "Prioridade:", 331, 235, 50, 13, false, 0, nullptr},
      {Edit5, "Edit5", K::kEdit, TabSheet1, "", 413, 231, 47, 21, false, 6, nullptr, Label4},
      {CheckBox3, "CheckBox3", K::kCheckBox, TabSheet1, "For\xE7" "ar Grava\xE7\xE3o de Logs", 434, 256, 150, 17, false, 7,
       nullptr},
      {CheckBox5, "CheckBox5", K::kCheckBox, TabSheet1, "Permitir desligamento remoto", 331, 278, 155, 17, false, 8,
       nullptr},
      {CheckBox7, "CheckBox7", K::kCheckBox, TabSheet1, "Modo DAL de compatibilidade", 331, 300, 164, 17, false, 9,
       nullptr},
      {CheckBox10, "CheckBox10", K::kCheckBox, TabSheet1, "Habilitar cache", 331, 256, 92, 17, false, 10, nullptr},
      {CheckBox2, "CheckBox2", K::kCheckBox, TabSheet2, "For\xE7" "ar endere\xE7o do servidor", 13, 17, 154, 17, true, 2,
       nullptr},
      {Edit4, "Edit4", K::kEdit, TabSheet2, "", 32, 37, 216, 21, true, 1, nullptr, CheckBox2},
      {Button3, "Button3", K::kButton, TabSheet2, "Limpar \"cache\" de endere\xE7os", 83, 65, 165, 25, true, 5,
       On(&TForm1::Button3Click)},
      {Label7, "Label7", K::kLabel, TabSheet2, "Tempo limite para requisi\xE7\xF5" "es ao servidor:", 12, 104, 197, 13,
       true, 0, nullptr},
      {Edit8, "Edit8", K::kEdit, TabSheet2, "", 13, 121, 60, 21, true, 6, nullptr, Label7, Label8},
      {Label8, "Label8", K::kLabel, TabSheet2, "minutos", 78, 128, 36, 13, true, 0, nullptr},
      {Label15, "Label15", K::kLabel, TabSheet2, "Tempo limite para solicitar login:", 12, 156, 149, 13, true, 0,
       nullptr},
      {Edit12, "Edit12", K::kEdit, TabSheet2, "", 13, 173, 60, 21, true, 7, nullptr, Label15, Label16},
      {Label16, "Label16", K::kLabel, TabSheet2, "minutos", 78, 180, 36, 13, true, 0, nullptr},
      {CheckBox4, "CheckBox4", K::kCheckBox, TabSheet2, "Mostrar mensagens de erro completas", 13, 215, 200, 17, true, 3,
       nullptr},
      {CheckBox6, "CheckBox6", K::kCheckBox, TabSheet2, "Usar compress\xE3o - acelera conex\xF5" "es lentas", 13, 234,
       230, 17, true, 4, nullptr},
  }};
  return kLayout;
}

}  // namespace tarn
