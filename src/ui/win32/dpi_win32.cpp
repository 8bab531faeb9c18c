#include <windows.h>

#include "ui/win32/dpi_win32.h"

namespace tarn {

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using AdjustWindowRectForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemMetricsForDpi = int(WINAPI*)(int, UINT);

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

Win32Dpi Win32Dpi::Bind(HINSTANCE__* user32) {
  Win32Dpi bound;
  bound.dpi_for_window_ = reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow"));
  bound.adjust_window_rect_ = reinterpret_cast<void*>(::GetProcAddress(user32, "AdjustWindowRectExForDpi"));
  bound.system_metrics_ = reinterpret_cast<void*>(::GetProcAddress(user32, "GetSystemMetricsForDpi"));
  return bound;
}

const Win32Dpi& Win32Dpi::Platform() {
  static const Win32Dpi platform = Bind(::GetModuleHandleW(L"user32.dll"));
  return platform;
}

int Win32Dpi::WindowDpi(HWND window) const {
  if (dpi_for_window_ == nullptr) return SystemDpi();
  return static_cast<int>(reinterpret_cast<DpiForWindow>(dpi_for_window_)(window));
}

Rect Win32Dpi::FrameAround(HWND window, int width, int height, int dpi) const {
  RECT frame{0, 0, width, height};
  auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  auto extended = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
  if (adjust_window_rect_ == nullptr) {
    ::AdjustWindowRectEx(&frame, style, FALSE, extended);
  } else {
    reinterpret_cast<AdjustWindowRectForDpi>(adjust_window_rect_)(&frame, style, FALSE, extended,
                                                                  static_cast<UINT>(dpi));
  }
  return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

int Win32Dpi::SystemMetric(int index, int dpi) const {
  if (system_metrics_ == nullptr) return ::GetSystemMetrics(index);
  return reinterpret_cast<SystemMetricsForDpi>(system_metrics_)(index, static_cast<UINT>(dpi));
}

}  // namespace tarn
