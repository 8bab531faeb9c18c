// tarnconfig: the settings tool's entry on the Win32 toolkit.
#include "platform/dynamic_library.h"
#include "ui/program.h"
#include "ui/win32/toolkit_win32.h"

int main() {
  tarn::RestrictLibrarySearch();
  tarn::Win32Toolkit toolkit;
  return tarn::RunSettingsWindow(toolkit, tarn::Win32ToolkitModule());
}
