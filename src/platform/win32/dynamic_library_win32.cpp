#include "platform/dynamic_library.h"

#include <windows.h>

namespace tarn {

namespace {

// The application's folder and the system folder, never the working
// directory or PATH: a library planted there must not run inside the program.
constexpr DWORD kTrustedFolders = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

std::wstring WideName(const std::string& name) {
  auto size = static_cast<int>(name.size());
  std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, name.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

}  // namespace

// The platform adds ".dll" to a name without an extension.
LibraryHandle LoadLibraryByName(const std::string& name) {
  return ::LoadLibraryExW(WideName(name).c_str(), nullptr, kTrustedFolders);
}

EntryPoint GetEntryPoint(LibraryHandle library, const char* name) {
  return library ? reinterpret_cast<EntryPoint>(::GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void RestrictLibrarySearch() { ::SetDefaultDllDirectories(kTrustedFolders); }

}  // namespace tarn
