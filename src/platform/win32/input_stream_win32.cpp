#include "platform/input_stream.h"

#include <io.h>
#include <windows.h>

#include <algorithm>

#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

HANDLE Native(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

// Through the C runtime's descriptor, as the output is written.
InputStream::InputStream() : handle_(::_get_osfhandle(0)), owned_(false) {}

InputStream::InputStream(const std::string& path) : owned_(true) {
  HANDLE file = ::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) RaiseLastOSError();
  handle_ = reinterpret_cast<intptr_t>(file);
}

InputStream::~InputStream() {
  if (owned_) ::CloseHandle(Native(handle_));
}

size_t InputStream::Read(char* buffer, size_t size) {
  DWORD got = 0;
  if (!::ReadFile(Native(handle_), buffer, static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), &got, nullptr)) {
    // A pipe whose writer has closed it has ended.
    DWORD code = ::GetLastError();
    if (code == ERROR_BROKEN_PIPE) return 0;
    RaiseOSError(static_cast<int>(code));
  }
  return got;
}

uint64_t InputStream::SizeHint() const {
  LARGE_INTEGER size;
  if (::GetFileType(Native(handle_)) != FILE_TYPE_DISK || !::GetFileSizeEx(Native(handle_), &size)) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace tarn
