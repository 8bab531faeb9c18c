// The layout at the screen's resolution. The layout table is drawn at 96
// dots per inch; on a screen of another resolution every position, size and
// the font scale with it, as a per-monitor aware window does.
#pragma once

#include "ui/toolkit.h"

namespace tarn {

inline constexpr int kDesignDpi = 96;

struct Rect {
  int left, top, width, height;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// `pixels` at 96 DPI as pixels at `dpi`, rounded to the nearest with halves
// away from zero.
int ScaleToDpi(int pixels, int dpi);

// A rectangle at `dpi`. Its edges are scaled, not its size, so that controls
// that meet at 96 DPI still meet.
Rect ScaleRect(const Rect& at_design_dpi, int dpi);

// The window's client area at `dpi`: the designed area within its border.
Rect WindowClientRect(const WindowSpec& window, int dpi);

// A control's rectangle within its parent at `dpi`; the controls that lie
// on the window itself are placed inside its border.
Rect ControlRect(const WindowSpec& window, const ControlSpec& control, int dpi);

// The height of the window's font in pixels at `dpi`, as the character
// height (negative, the platform's convention for the em height).
int FontHeight(const WindowSpec& window, int dpi);

}  // namespace tarn
