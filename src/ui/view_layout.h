// What every view does to the layout beyond scaling it: labels and check
// boxes grow to show their whole caption, so that a font wider than the
// designed one does not cut it (nothing shrinks), and the window opens
// centred in the work area of its screen.
#pragma once

#include "ui/dpi_geometry.h"
#include "ui/toolkit.h"

namespace tarn {

// True for the kinds of control whose width follows their caption.
bool GrowsToCaption(ControlKind kind);

// The width a control takes: the designed `width`, or the width its
// caption needs when that is more and the control grows to its caption.
int FittedWidth(ControlKind kind, int width, int caption_width);

// A window of `width` × `height` centred in `area`.
Rect CentredIn(const Rect& area, int width, int height);

}  // namespace tarn
