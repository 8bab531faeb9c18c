#include "platform/dynamic_library.h"

#include <windows.h>

namespace tarn {

// The platform looks in the executable's folder first and adds ".dll" to a
// name without an extension.
LibraryHandle LoadLibraryByName(const std::string& name) { return ::LoadLibraryA(name.c_str()); }

EntryPoint GetEntryPoint(LibraryHandle library, const char* name) {
  return library ? reinterpret_cast<EntryPoint>(::GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

}  // namespace tarn
