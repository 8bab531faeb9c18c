#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>

#include "platform/portable/exceptions.h"

namespace tarn {

const char kPathDelim = '\\';

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Closes now and reports whether the platform completed the close.
  bool Close() {
    bool closed = !Valid() || ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

void WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) RaiseLastOSError();
    bytes.remove_prefix(written);
  }
}

// The platform counts file times in 100-nanosecond ticks since 1601; in
// nanoseconds that overflows 64 bits, so times are kept from 1970 as on POSIX.
constexpr int64_t kTicksTo1970 = 116444736000000000;

int64_t Nanoseconds(FILETIME time) {
  int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - kTicksTo1970) * 100;
}

FILETIME FileTimeOf(int64_t nanoseconds) {
  uint64_t ticks = static_cast<uint64_t>(nanoseconds / 100 + kTicksTo1970);
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

FileIdentity IdentityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info)) RaiseLastOSError();
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                      (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                      Nanoseconds(info.ftLastWriteTime)};
}

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

}  // namespace

std::string ExePath() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) RaiseLastOSError();
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool FileExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
  Handle file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) {
    if (Missing(::GetLastError())) return std::nullopt;
    RaiseLastOSError();
  }
  return IdentityOf(file.Get());
}

std::optional<std::string> ReadFileBytes(const std::string& path, FileIdentity* identity) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    DWORD error = ::GetLastError();
    if (Missing(error)) return std::nullopt;
    RaiseOSError(static_cast<int>(error));
  }
  if (identity != nullptr) *identity = IdentityOf(file.Get());
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) RaiseLastOSError();
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

// Links on Windows are a matter of the file system, which opens their target
// by the link's own name; the profile's writer has nothing to follow.
std::string ResolveFileLinks(const std::string& path) { return path; }

bool MayWriteFile(const std::string& path) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid();
}

// ReplaceFileA gives the new file the old one's attributes and security, so
// only a folder that refuses a new file stops the replacement.
bool CanReplaceFile(const std::string& path) {
  Handle probe(::CreateFileA(TemporaryFileFor(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return probe.Valid();
}

// The new text goes to a temporary file beside the target, is flushed, and
// then takes the target's place. An existing target is swapped with
// ReplaceFileA, which keeps its attributes, security and creation time (a
// rename would give the file those of the temporary one) and refuses a
// read-only target; a new file is renamed into place with write-through.
// The temporary file has one fixed name per target: what a killed writer
// left is overwritten by the next one.
FileIdentity ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temp = TemporaryFileFor(path);
  std::optional<FileIdentity> old = IdentifyFile(path);
  {
    Handle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) RaiseLastOSError();
    try {
      WriteAll(file.Get(), bytes);
      // Readers that cache the file by its identity must see a change even
      // when the clock has not moved past the old file's time.
      FILETIME now;
      ::GetSystemTimeAsFileTime(&now);
      if (old && Nanoseconds(now) <= old->modified_ns) {
        FILETIME later = FileTimeOf(old->modified_ns + 100);
        if (!::SetFileTime(file.Get(), nullptr, nullptr, &later)) RaiseLastOSError();
      }
      if (!::FlushFileBuffers(file.Get())) RaiseLastOSError();
      if (!file.Close()) RaiseLastOSError();
    } catch (...) {
      file.Close();
      ::DeleteFileA(temp.c_str());
      throw;
    }
  }
  bool replaced = old ? ::ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                       nullptr) != 0
                      : ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) {
    DWORD error = ::GetLastError();
    ::DeleteFileA(temp.c_str());
    RaiseOSError(static_cast<int>(error));
  }
  return *IdentifyFile(path);
}

// Not crash-safe: a crash or a failure midway leaves a torn file. Room for
// the whole text is taken first, so that a full disk fails before anything
// is written.
void OverwriteFileInPlace(const std::string& path, std::string_view bytes) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) RaiseLastOSError();
  LARGE_INTEGER size;
  size.QuadPart = static_cast<LONGLONG>(bytes.size());
  if (!::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.Get())) RaiseLastOSError();
  size.QuadPart = 0;
  if (!::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN)) RaiseLastOSError();
  WriteAll(file.Get(), bytes);
  if (!::FlushFileBuffers(file.Get()) || !file.Close()) RaiseLastOSError();
}

}  // namespace tarn
