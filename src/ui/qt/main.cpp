// tarnconfig: the settings tool's entry on the Qt toolkit. --help and
// --version answer like the companion programs, without a display; without
// one the window is refused with the reason and status 1. Qt's own options
// are Qt's to take.
#include <QList>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/portable/command_line.h"
#include "ui/program.h"
#include "ui/qt/toolkit_options_qt.h"
#include "ui/qt/toolkit_qt.h"

namespace {

// What the toolkit said while it was starting: told after the reason when
// it fails, else handed on as usual.
struct ToolkitMessage {
  QtMsgType type;
  QString text;
};
QList<ToolkitMessage>* toolkit_messages = nullptr;

// Qt ends the process with a fatal message (an abort) when no display can be
// opened: the user gets the reason and status 1 instead.
void OnStartingToolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    toolkit_messages->append({type, message});
    return;
  }
  std::fputs("tarnconfig: cannot open the display\n", stderr);
  for (const ToolkitMessage& said : *toolkit_messages) std::fprintf(stderr, "tarnconfig: %s\n", qPrintable(said.text));
  std::fflush(stderr);
  std::_Exit(1);
}

// The toolkit's module, with the display's failure caught while it starts.
void StartToolkit() {
  QList<ToolkitMessage> messages;
  toolkit_messages = &messages;
  QtMessageHandler previous = qInstallMessageHandler(&OnStartingToolkitMessage);
  tarn::QtToolkitModule().startup();
  qInstallMessageHandler(previous);
  toolkit_messages = nullptr;
  for (const ToolkitMessage& said : messages) previous(said.type, QMessageLogContext(), said.text);
}

}  // namespace

int main(int argc, char** argv) {
  // The toolkit takes its own options (-platform...) from the command line;
  // any other argument but ours is a wrong command line.
  tarn::SetQtArguments(argc, argv);
  std::vector<std::string> ours = tarn::WithoutToolkitOptions(tarn::CommandLineArguments(argc, argv));
  return tarn::RunProgram(tarn::kTarnconfigUsage, ours, [](const std::vector<std::string>& arguments) {
    if (!arguments.empty()) return tarn::WrongCommandLine(tarn::kTarnconfigUsage);
    tarn::QtToolkit toolkit;
    tarn::ModuleEntry module = tarn::QtToolkitModule();
    module.startup = &StartToolkit;
    return tarn::RunSettingsWindow(toolkit, module);
  });
}
