#include "platform/dynamic_library.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

// The application's folder and the system folder, never the working
// directory or PATH: a library planted there must not run inside the program.
constexpr DWORD kTrustedFolders = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

}  // namespace

// The platform adds ".dll" to a name without an extension.
LibraryHandle LoadLibraryByName(const std::string& name) {
  return ::LoadLibraryExW(Utf8ToWide(name).c_str(), nullptr, kTrustedFolders);
}

EntryPoint GetEntryPoint(LibraryHandle library, const char* name) {
  return library ? reinterpret_cast<EntryPoint>(::GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void RestrictLibrarySearch() { ::SetDefaultDllDirectories(kTrustedFolders); }

}  // namespace tarn
