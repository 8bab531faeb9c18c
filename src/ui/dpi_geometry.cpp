#include "ui/dpi_geometry.h"

namespace tarn {

namespace {

// value × numerator / denominator, rounded half away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
  long long product = static_cast<long long>(value) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

int ScaleToDpi(int pixels, int dpi) { return MulDivRounded(pixels, dpi, kDesignDpi); }

Rect ScaleRect(const Rect& at_design_dpi, int dpi) {
  int left = ScaleToDpi(at_design_dpi.left, dpi);
  int top = ScaleToDpi(at_design_dpi.top, dpi);
  return {left, top, ScaleToDpi(at_design_dpi.left + at_design_dpi.width, dpi) - left,
          ScaleToDpi(at_design_dpi.top + at_design_dpi.height, dpi) - top};
}

Rect WindowClientRect(const WindowSpec& window, int dpi) {
  return ScaleRect({0, 0, window.client_width + 2 * window.border_width, window.client_height + 2 * window.border_width},
                   dpi);
}

Rect ControlRect(const WindowSpec& window, const ControlSpec& control, int dpi) {
  int offset = control.parent == kWindowClientArea ? window.border_width : 0;
  return ScaleRect({control.left + offset, control.top + offset, control.width, control.height}, dpi);
}

int FontHeight(const WindowSpec& window, int dpi) { return -MulDivRounded(window.font_points, dpi, 72); }

}  // namespace tarn
