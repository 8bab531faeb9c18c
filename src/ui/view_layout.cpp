#include "ui/view_layout.h"

#include <algorithm>

namespace tarn {

bool GrowsToCaption(ControlKind kind) { return kind == ControlKind::kLabel || kind == ControlKind::kCheckBox; }

int FittedWidth(ControlKind kind, int width, int caption_width) {
  return GrowsToCaption(kind) ? std::max(width, caption_width) : width;
}

Rect CentredIn(const Rect& area, int width, int height) {
  return {area.left + (area.width - width) / 2, area.top + (area.height - height) / 2, width, height};
}

}  // namespace tarn
