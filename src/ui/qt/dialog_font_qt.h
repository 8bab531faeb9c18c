// The window's font on Qt.
#pragma once

#include <QFont>

#include "ui/toolkit.h"

namespace tarn {

// The window's face at its size where the face can be had, else the
// desktop's dialog font at that size.
QFont DialogFont(const WindowSpec& window);

}  // namespace tarn
