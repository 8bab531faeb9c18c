// The window toolkit on Win32: dialogs of the Win32 view, the platform's
// message box and the platform's wait cursor.
#pragma once

#include "runtime/module_startup.h"
#include "ui/toolkit.h"

struct HICON__;
struct tagMSG;

namespace tarn {

class Win32WindowView;

class Win32Toolkit : public Toolkit {
 public:
  std::unique_ptr<WindowView> CreateWindowView(const WindowSpec& window, std::span<const ControlSpec> layout,
                                               EventSink events) override;
  void RunUntilClosed(WindowView& window) override;
  // MessageBoxW with an OK button: owned by the active window, or, when task
  // modal, by none, which blocks every window of the program.
  void ShowMessage(const MessageBoxSpec& message) override;
  bool Ask(const MessageBoxSpec& question) override;
  void BeginBusyCursor() override;
  void ShowChanges() override;
  void EndBusyCursor() override;

 private:
  int busy_depth_ = 0;
  HICON__* cursor_before_busy_ = nullptr;
};

// One message of the thread as the message loop handles it: the window's
// keyboard first, then translated and dispatched.
void DispatchWindowMessage(Win32WindowView& window, tagMSG& message);

// The toolkit's module, first among the program's modules: the common
// controls and the window classes of the view.
ModuleEntry Win32ToolkitModule();

}  // namespace tarn
