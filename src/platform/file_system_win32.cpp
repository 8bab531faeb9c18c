#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>

#include "platform/exceptions.h"

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

std::optional<std::string> ReadFileBytes(const std::string& path) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    RaiseOSError(static_cast<int>(error));
  }
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

// The new text goes to a temporary file beside the target, is flushed, and
// then takes the target's place. An existing target is swapped with
// ReplaceFileA, which keeps its attributes, security and creation time (a
// rename would give the file those of the temporary one) and refuses a
// read-only target; a new file is renamed into place with write-through.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temp = path + ".tmp";
  {
    Handle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) RaiseLastOSError();
    try {
      WriteAll(file.Get(), bytes);
      if (!::FlushFileBuffers(file.Get())) RaiseLastOSError();
      if (!file.Close()) RaiseLastOSError();
    } catch (...) {
      file.Close();
      ::DeleteFileA(temp.c_str());
      throw;
    }
  }
  bool replaced = FileExists(path)
                      ? ::ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                       nullptr) != 0
                      : ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) {
    DWORD error = ::GetLastError();
    ::DeleteFileA(temp.c_str());
    RaiseOSError(static_cast<int>(error));
  }
}

}  // namespace tarn
