// The window toolkit on Qt 6 Widgets.
#pragma once

#include "runtime/module_startup.h"
#include "ui/toolkit.h"

class QWidget;

namespace tarn {

class QtToolkit : public Toolkit {
 public:
  std::unique_ptr<WindowView> CreateWindowView(const WindowSpec& window, std::span<const ControlSpec> layout,
                                               EventSink events) override;
  void RunUntilClosed(WindowView& window) override;
  // A modal QMessageBox. Without a Qt application (a start-up that failed
  // before or after it existed) one is made for the box's lifetime.
  void ShowMessage(const MessageBoxSpec& message) override;
  bool Ask(const MessageBoxSpec& question) override;
  void BeginBusyCursor() override;
  void ShowChanges() override;
  void EndBusyCursor() override;
};

// The arguments handed to the Qt application object; the program passes
// main's, which must outlive the application.
void SetQtArguments(int& argc, char** argv);

// The toolkit's module, first among the program's modules: makes the Qt
// application object when the process has none, and destroys what it made.
ModuleEntry QtToolkitModule();

// The top-level widget of a window that QtToolkit made.
QWidget& QtWindowWidget(WindowView& window);

}  // namespace tarn
