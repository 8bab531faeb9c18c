#include "platform/file_lock.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

// A mutex of the session named after the folder that holds `path`, by the
// folder's identity (its volume's serial number and its file index), so
// that every spelling of the folder (. and .., either separator, a relative
// path, a short name, a mapped drive and its share) takes the same lock.
std::wstring MutexName(const std::string& path) {
  std::optional<FileIdentity> folder = IdentifyFile(FolderOf(path));
  if (!folder) RaiseOSError(ERROR_PATH_NOT_FOUND);
  return L"Local\\tarn-file-writers-" + std::to_wstring(folder->device) + L"-" + std::to_wstring(folder->file);
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
