#include "platform/os_error.h"

#include <windows.h>

namespace tarn {

int LastOSErrorCode() { return static_cast<int>(::GetLastError()); }

int InvalidArgumentCode() { return ERROR_INVALID_PARAMETER; }

int IsAFolderCode() {
  constexpr DWORD kDirectoryNotSupported = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED, which mingw lacks
  return kDirectoryNotSupported;
}

bool IsMissingFileCode(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// The platform's calls are not cut short by signals.
bool IsInterruptionCode(int) { return false; }

bool IsSharingCode(int code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; }

bool IsBriefHoldCode(int code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
}

// Some codes have no text in any table the system has.
std::string OSErrorText(int code) {
  std::string text = OSErrorText(code, nullptr);
  return text.empty() ? "error " + std::to_string(code) : text;
}

std::string OSErrorText(int code, const wchar_t* module_name) {
  HMODULE module = module_name != nullptr ? ::GetModuleHandleW(module_name) : nullptr;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (module != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  char* buffer = nullptr;
  DWORD length = ::FormatMessageA(flags, module, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0,
                                  nullptr);
  std::string text(buffer != nullptr ? buffer : "", length);
  ::LocalFree(buffer);
  // The system's texts end with a line break, which the message shown to
  // the user does not carry.
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace tarn
