// The name and the description that screen readers (MSAA, and UI
// Automation through it) give a control where the platform cannot find them
// itself: an edit named by a check box, a unit that describes an edit. They
// are annotations kept with the control's window, through COM, which the
// toolkit's module starts; they must be cleared before the window is
// destroyed. Where the platform keeps no annotations (Wine), nothing changes.
#pragma once

#include <string>

// The Windows handle type, without <windows.h>.
struct HWND__;

namespace tarn {

// Null for a text not to annotate.
void SetAccessibleText(HWND__* control, const std::wstring* name, const std::wstring* description);
void ClearAccessibleText(HWND__* control);

}  // namespace tarn
