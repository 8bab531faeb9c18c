// tarnconfig: the settings tool's entry on the Win32 toolkit. A program of
// the graphical kind has no console of its own: --help and --version answer
// on the console of the program that started it, or, when it has none, in a
// message box, as does the usage of a wrong command line.
#include <optional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/dynamic_library.h"
#include "platform/portable/command_line.h"
#include "ui/program.h"
#include "ui/win32/toolkit_win32.h"

namespace {

int AnswerInAMessageBox(tarn::Toolkit& toolkit, const std::vector<std::string>& arguments) {
  std::optional<std::string> answer = tarn::HelpOrVersionText(tarn::kTarnconfigUsage, arguments);
  toolkit.ShowMessage({tarn::kTarnconfigUsage.name, answer.value_or(tarn::kTarnconfigUsage.usage)});
  return answer ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  tarn::RestrictLibrarySearch();
  tarn::Win32Toolkit toolkit;
  std::vector<std::string> arguments = tarn::CommandLineArguments(argc, argv);
  if (!arguments.empty() && !tarn::AttachParentConsole()) return AnswerInAMessageBox(toolkit, arguments);
  return tarn::RunProgram(tarn::kTarnconfigUsage, argc, argv, [&](const std::vector<std::string>& given) {
    if (!given.empty()) return tarn::WrongCommandLine(tarn::kTarnconfigUsage);
    return tarn::RunSettingsWindow(toolkit, tarn::Win32ToolkitModule());
  });
}
