#include <windows.h>

#include <string>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

// Nobody may delete or rename what is open here while a writer has it, so
// the lock cannot be taken away by a new file put in the old one's place.
constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE;
// A link or junction in the lock file's place is opened itself, never its
// target; what is opened must then be a plain file.
constexpr DWORD kNoLinks = FILE_FLAG_OPEN_REPARSE_POINT;

HANDLE OpenForLock(const std::string& path, DWORD disposition, DWORD attributes) {
  HANDLE file = ::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShared, nullptr,
                              disposition, attributes | kNoLinks, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    ::CloseHandle(file);
    throw NotRegularFileError();
  }
  return file;
}

bool IsRefusal(int code) { return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT; }

}  // namespace

// The folder's lock file, made hidden with the security its folder passes
// on, so that only those who may change the folder's files may open it for
// writing. A user who may not rewrites only in place, under a lock on the
// file itself.
bool FileWriteLock::TryTake(const std::string& path, intptr_t& handle) {
  HANDLE file = OpenForLock(FolderOf(path) + "\\.tarn.lock", OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN);
  if (file == INVALID_HANDLE_VALUE && IsRefusal(LastOSErrorCode())) {
    file = OpenForLock(path, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE && (IsRefusal(LastOSErrorCode()) || IsMissingFileCode(LastOSErrorCode()))) {
      handle = kNoHandle;
      return true;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    // Another program holds the file without sharing it: a writer's wait.
    if (LastOSErrorCode() == ERROR_SHARING_VIOLATION) return false;
    RaiseLastOSError();
  }
  OVERLAPPED whole{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    int code = LastOSErrorCode();
    ::CloseHandle(file);
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return false;
    RaiseOSError(code);
  }
  handle = reinterpret_cast<intptr_t>(file);
  return true;
}

// Closing the handle releases its lock; so does the end of the process.
void FileWriteLock::Release(intptr_t handle) {
  if (handle == kNoHandle) return;
  HANDLE file = reinterpret_cast<HANDLE>(handle);
  OVERLAPPED whole{};
  ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  ::CloseHandle(file);
}

}  // namespace tarn
