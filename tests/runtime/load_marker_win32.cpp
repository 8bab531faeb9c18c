// A library that records its loading: when a process loads it, it leaves an
// empty file named after itself with ".loaded" added, beside itself. The
// library-search tests plant copies of it under the names the program loads.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::wstring path(32768, L'\0');
  path.resize(::GetModuleFileNameW(library, path.data(), static_cast<DWORD>(path.size())));
  HANDLE marker = ::CreateFileW((path + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  return TRUE;
}
