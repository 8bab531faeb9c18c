#include <windows.h>

#include <cstdlib>

#include "platform/win32/wide_text.h"
#include "support/held_file.h"

namespace tarn::testing {

HeldFile::HeldFile(std::string path) : path_(std::move(path)) {
  HANDLE file = ::CreateFileW(Utf8ToWide(path_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) std::abort();
  handle_ = reinterpret_cast<intptr_t>(file);
}

void HeldFile::Release() {
  if (handle_ == -1) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}

}  // namespace tarn::testing
