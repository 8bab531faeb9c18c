#include "platform/file_lock.h"

#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

// A mutex of the session named after the folder that holds `path`, by the
// folder's identity (its volume's serial number and its file index), so
// that every spelling of the folder (. and .., either separator, a relative
// path, a short name, a mapped drive and its share) takes the same lock.
std::wstring MutexName(const std::string& path) {
  HANDLE folder = ::CreateFileW(Utf8ToWide(FolderOf(path)).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) RaiseLastOSError();
  BY_HANDLE_FILE_INFORMATION info;
  bool known = ::GetFileInformationByHandle(folder, &info) != 0;
  int code = LastOSErrorCode();
  ::CloseHandle(folder);
  if (!known) RaiseOSError(code);
  uint64_t index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return L"Local\\tarn-file-writers-" + std::to_wstring(info.dwVolumeSerialNumber) + L"-" + std::to_wstring(index);
}

}  // namespace

// Every file of a folder shares the lock, as on POSIX: it covers the file and
// its temporary file, and a file that does not exist yet. A mutex left by a
// writer that ended without releasing it passes to the next one.
FileWriteLock::FileWriteLock(const std::string& path) {
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
  if (mutex == nullptr) RaiseLastOSError();
  DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    int code = LastOSErrorCode();
    ::CloseHandle(mutex);
    RaiseOSError(code);
  }
  handle_ = reinterpret_cast<intptr_t>(mutex);
}

FileWriteLock::~FileWriteLock() {
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

}  // namespace tarn
