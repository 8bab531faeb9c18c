#include "platform/file_lock.h"

#include <windows.h>

#include <cctype>

#include "platform/portable/exceptions.h"
#include "platform/file_system.h"

namespace tarn {

namespace {

// A mutex of the session named after the folder that holds `path`, as the
// platform spells folders: without regard to case. The name is a hash, as
// a mutex's name is shorter than a path may be.
std::string MutexName(const std::string& path) {
  uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (char c : ExtractFilePath(path)) {
    hash = (hash ^ static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)))) * 1099511628211u;
  }
  return "Local\\tarn-file-writers-" + std::to_string(hash);
}

}  // namespace

// Every file of a folder shares the lock, as on POSIX: it covers the file and
// its temporary file, and a file that does not exist yet. A mutex left by a
// writer that ended without releasing it passes to the next one.
FileWriteLock::FileWriteLock(const std::string& path) {
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
  if (mutex == nullptr) RaiseLastOSError();
  DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    DWORD error = ::GetLastError();
    ::CloseHandle(mutex);
    RaiseOSError(static_cast<int>(error));
  }
  handle_ = reinterpret_cast<intptr_t>(mutex);
}

FileWriteLock::~FileWriteLock() {
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

}  // namespace tarn
