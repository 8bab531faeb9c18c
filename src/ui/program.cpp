#include "ui/program.h"

#include "platform/file_system.h"
#include "ui/program_modules.h"
#include "ui/application.h"
#include "ui/form1.h"

namespace tarn {

const ProgramUsage kTarnconfigUsage{
    "tarnconfig", "usage: tarnconfig\n",
    "Opens the settings window of the TARN environment: the server's settings\n"
    "when tarnbroker.exe lies in the working folder, the clients' settings, and\n"
    "the server's service. OK saves them beside the program.\n"};

int RunSettingsWindow(Toolkit& toolkit, ModuleEntry toolkit_module, const std::string& service_library) {
  ModuleSequence modules(ProgramModules(toolkit_module, {"window", nullptr, nullptr}));
  try {
    modules.Start();
  } catch (const EModuleStartup& failure) {
    toolkit.ShowMessage({"Application Error",
                         StartupErrorText(failure.Error(), ExtractFileName(ExePath()), failure.Address()),
                         MessageIcon::kError, true});
    return 1;
  }
  TApplication application(toolkit);
  application.SetTitle(kApplicationTitle);
  int status = 0;
  try {
    TForm1 form(application, {ExeDir(), service_library});
    form.View().Show();
    toolkit.RunUntilClosed(form.View());
  } catch (...) {
    // The window could not be created: reported like an error in a handler.
    application.ShowException(std::current_exception());
    status = 1;
  }
  CallTerminateProcs();
  // The hooks belong to this run's modules, which now shut down.
  ClearTerminateProcs();
  modules.Shutdown();
  return status;
}

}  // namespace tarn
