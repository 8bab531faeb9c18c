#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <objbase.h>

#include "ui/win32/text_win32.h"
#include "ui/win32/toolkit_win32.h"
#include "ui/win32/window_view_win32.h"

namespace tarn {

namespace {

// COM serves the window's annotations for screen readers.
bool com_started = false;

void StartWin32Toolkit() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  RegisterWin32WindowClasses();
  com_started = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void ShutdownWin32Toolkit() {
  if (com_started) ::CoUninitialize();
  com_started = false;
  UnregisterWin32WindowClasses();
}

}  // namespace

ModuleEntry Win32ToolkitModule() {
  return {"runtime library and toolkit", &StartWin32Toolkit, &ShutdownWin32Toolkit};
}

std::unique_ptr<WindowView> Win32Toolkit::CreateWindowView(const WindowSpec& window,
                                                           std::span<const ControlSpec> layout, EventSink events) {
  return std::make_unique<Win32WindowView>(window, layout, std::move(events));
}

void DispatchWindowMessage(Win32WindowView& window, MSG& message) {
  if (window.PreTranslateMessage(message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void Win32Toolkit::RunUntilClosed(WindowView& window) {
  auto& view = dynamic_cast<Win32WindowView&>(window);
  MSG message{};
  while (!view.Closed()) {
    BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // A quit request belongs to an outer loop.
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchWindowMessage(view, message);
  }
}

void Win32Toolkit::ShowMessage(const MessageBoxSpec& message) {
  UINT style = MB_OK | (message.icon == MessageIcon::kError ? MB_ICONERROR : 0) |
               (message.task_modal ? MB_TASKMODAL : 0);
  ::MessageBoxW(message.task_modal ? nullptr : ::GetActiveWindow(), ToWide(message.text).c_str(),
                ToWide(message.title).c_str(), style);
}

bool Win32Toolkit::Ask(const MessageBoxSpec& question) {
  return ::MessageBoxW(::GetActiveWindow(), ToWide(question.text).c_str(), ToWide(question.title).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// The program handles no message while it is busy, so the cursor set here
// stays over all of the screen until it is set back.
void Win32Toolkit::BeginBusyCursor() {
  if (busy_depth_++ == 0) cursor_before_busy_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void Win32Toolkit::EndBusyCursor() {
  if (--busy_depth_ == 0) ::SetCursor(cursor_before_busy_);
}

// Paints and messages sent by the system, never the user's input.
void Win32Toolkit::ShowChanges() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
    ::DispatchMessageW(&message);
  }
}

}  // namespace tarn
