#include <windows.h>

#include "support/wine.h"

namespace tarn::testing {

bool UnderWine() { return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace tarn::testing
