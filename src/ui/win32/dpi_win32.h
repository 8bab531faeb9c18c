// The screen's resolution as the Win32 view needs it. The per-window
// functions (GetDpiForWindow, AdjustWindowRectExForDpi,
// GetSystemMetricsForDpi) came with Windows 10 version 1607; they are looked
// up when the program runs, and where the platform lacks them every window
// takes the system's resolution, so the program still starts there.
#pragma once

#include "ui/dpi_geometry.h"

// The Windows handle types, without <windows.h>.
struct HWND__;
struct HINSTANCE__;

namespace tarn {

class Win32Dpi final {
 public:
  // The functions that `user32` offers; those it lacks fall back.
  static Win32Dpi Bind(HINSTANCE__* user32);
  // Bound to the system's user32 the first time it is asked for.
  static const Win32Dpi& Platform();

  // The resolution of the monitor that shows `window`, or the system's.
  int WindowDpi(HWND__* window) const;
  // The size of `window`'s frame around a client area of `width` ×
  // `height` pixels at `dpi`, for the window's present styles.
  Rect FrameAround(HWND__* window, int width, int height, int dpi) const;
  // A system metric (an SM_ index) at `dpi`.
  int SystemMetric(int index, int dpi) const;

 private:
  void* dpi_for_window_ = nullptr;
  void* adjust_window_rect_ = nullptr;
  void* system_metrics_ = nullptr;
};

}  // namespace tarn
