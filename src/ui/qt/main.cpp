// tarnconfig: the settings tool's entry on the Qt toolkit.
#include "ui/program.h"
#include "ui/qt/qt_toolkit.h"

int main(int argc, char** argv) {
  tarn::SetQtArguments(argc, argv);
  tarn::QtToolkit toolkit;
  return tarn::RunProgram(toolkit, tarn::QtToolkitModule());
}
