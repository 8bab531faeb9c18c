// What a screen reader finds in the settings window, control by control, in
// the order of the window's accessibility tree on Linux (the pages'
// controls, then the buttons below them): its role as AT-SPI names it, its
// name and its description (UTF-8). An edit is named by the label in front
// of it (Edit4 by its check box) and described by its unit; a page is named
// by its tab. The window itself is a dialog named by its caption.
#pragma once

#include "ui/form1_layout.h"

namespace tarn::testing {

struct Heard {
  ControlId control;
  const char* role;
  const char* name;
  const char* description = "";
};

inline constexpr Heard kHeardInForm1[] = {
    {form1::TabSheet1, "panel", "Servidor"},
    {form1::Label9, "label", "Log do serv.:"},
    {form1::Edit9, "text", "Log do serv.:"},
    {form1::Label12, "label", "Limite:"},
    {form1::Edit11, "text", "Limite:", "MB"},
    {form1::Label13, "label", "MB"},
    {form1::Label10, "label", "Limite de banda:"},
    {form1::Edit10, "text", "Limite de banda:", "Kb/s"},
    {form1::Label11, "label", "Kb/s"},
    {form1::CheckBox8, "check box", "Serviço do Windows"},
    {form1::Button4, "push button", "Iniciar"},
    {form1::Label4, "label", "Prioridade:"},
    {form1::Edit5, "text", "Prioridade:"},
    {form1::CheckBox3, "check box", "Forçar Gravação de Logs"},
    {form1::CheckBox5, "check box", "Permitir desligamento remoto"},
    {form1::CheckBox7, "check box", "Modo DAL de compatibilidade"},
    {form1::CheckBox10, "check box", "Habilitar cache"},
    {form1::TabSheet2, "panel", "Cliente"},
    {form1::CheckBox2, "check box", "Forçar endereço do servidor"},
    {form1::Edit4, "text", "Forçar endereço do servidor"},
    {form1::Button3, "push button", "Limpar \"cache\" de endereços"},
    {form1::Label7, "label", "Tempo limite para requisições ao servidor:"},
    {form1::Edit8, "text", "Tempo limite para requisições ao servidor:", "minutos"},
    {form1::Label8, "label", "minutos"},
    {form1::Label15, "label", "Tempo limite para solicitar login:"},
    {form1::Edit12, "text", "Tempo limite para solicitar login:", "minutos"},
    {form1::Label16, "label", "minutos"},
    {form1::CheckBox4, "check box", "Mostrar mensagens de erro completas"},
    {form1::CheckBox6, "check box", "Usar compressão - acelera conexões lentas"},
    {form1::Button1, "push button", "OK"},
    {form1::Button2, "push button", "Cancelar"},
};

}  // namespace tarn::testing
