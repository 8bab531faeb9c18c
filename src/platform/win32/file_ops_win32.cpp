#include "platform/file_ops.h"

#include <aclapi.h>
#include <windows.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"

namespace tarn {

namespace {

HANDLE Native(FileOps::Handle file) { return reinterpret_cast<HANDLE>(file); }

// The platform counts file times in 100-nanosecond ticks since 1601; in
// nanoseconds that overflows 64 bits, so times are kept from 1970 as on POSIX.
constexpr int64_t kTicksTo1970 = 116444736000000000;

int64_t Nanoseconds(int64_t ticks) { return (ticks - kTicksTo1970) * 100; }

int64_t Ticks(FILETIME time) { return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FileIdentity IdentityOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info)) RaiseLastOSError();
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                      (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                      Nanoseconds(Ticks(info.ftLastWriteTime))};
}

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

template <typename Info>
void SetInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, Info info) {
  if (!::SetFileInformationByHandle(file, kind, &info, sizeof info)) RaiseLastOSError();
}

// The target's access rules pass to the file that takes its place: its own
// entries, and whether it inherits from the folder.
void TakeSecurity(HANDLE file, const std::wstring& original) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = ::GetNamedSecurityInfoW(original.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, &dacl, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) RaiseOSError(static_cast<int>(error));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ::GetSecurityDescriptorControl(descriptor, &control, &revision);
  SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED) != 0
                                                               ? PROTECTED_DACL_SECURITY_INFORMATION
                                                               : UNPROTECTED_DACL_SECURITY_INFORMATION);
  error = ::SetSecurityInfo(file, SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
  ::LocalFree(descriptor);
  if (error != ERROR_SUCCESS) RaiseOSError(static_cast<int>(error));
}

// What a file is besides its text and that a rename would not carry: its
// hidden, system, archive and indexing attributes. Read-only files are not
// replaced.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32FileOps final : public FileOps {
 public:
  std::optional<FileStatus> Examine(const std::string& path) override {
    HANDLE file = ::CreateFileW(Utf8ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      int code = LastOSErrorCode();
      if (IsMissingFileCode(code)) return std::nullopt;
      RaiseOSError(code);
    }
    FileStatus status{FileKind::kOther, {}};
    try {
      if (::GetFileType(file) == FILE_TYPE_DISK) {
        FILE_BASIC_INFO basic;
        if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) RaiseLastOSError();
        status.kind = (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder : FileKind::kRegular;
        status.identity = IdentityOf(file);
      }
    } catch (...) {
      ::CloseHandle(file);
      throw;
    }
    ::CloseHandle(file);
    return status;
  }

  // A device (NUL, CON, a pipe) opens at once; it is refused by its type
  // before anything is read or written.
  Handle Open(const std::string& path, bool write) override {
    std::wstring wide = Utf8ToWide(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RaiseOSError(IsAFolderCode());
    }
    HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ | (write ? GENERIC_WRITE : 0),
                                write ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) RaiseLastOSError();
    if (::GetFileType(file) != FILE_TYPE_DISK) {
      ::CloseHandle(file);
      throw NotRegularFileError();
    }
    return reinterpret_cast<Handle>(file);
  }

  Handle Create(const std::string& path, bool) override {
    HANDLE file = ::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) RaiseLastOSError();
    return reinterpret_cast<Handle>(file);
  }

  size_t Read(Handle file, uint64_t offset, char* buffer, size_t size) override {
    OVERLAPPED position = At(offset);
    DWORD got = 0;
    if (!::ReadFile(Native(file), buffer, static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), &got, &position)) {
      int code = LastOSErrorCode();
      if (code == ERROR_HANDLE_EOF) return 0;
      RaiseOSError(code);
    }
    return got;
  }

  size_t Write(Handle file, uint64_t offset, std::string_view bytes) override {
    OVERLAPPED position = At(offset);
    DWORD written = 0;
    auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(Native(file), bytes.data(), chunk, &written, &position)) RaiseLastOSError();
    if (written == 0 && chunk != 0) RaiseOSError(ERROR_HANDLE_DISK_FULL);
    return written;
  }

  FileIdentity Identify(Handle file) override { return IdentityOf(Native(file)); }

  // A new file takes what its folder gives; nothing is left to adopt.
  FileIdentity Adopt(Handle file, const std::string& path) override {
    std::wstring wide = Utf8ToWide(path);
    WIN32_FILE_ATTRIBUTE_DATA original;
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &original)) {
      int code = LastOSErrorCode();
      if (IsMissingFileCode(code)) return Identify(file);
      RaiseOSError(code);
    }
    TakeSecurity(Native(file), wide);
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = original.dwFileAttributes & kKeptAttributes;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    // Readers that cache the file by its identity must see a change even
    // when the clock has not moved past the old file's time.
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    if (Ticks(now) <= Ticks(original.ftLastWriteTime)) basic.LastWriteTime.QuadPart = Ticks(original.ftLastWriteTime) + 1;
    SetInformation(Native(file), FileBasicInfo, basic);
    return Identify(file);
  }

  void Reserve(Handle file, uint64_t size) override {
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFileInformationByHandle(Native(file), FileAllocationInfo, &room, sizeof room)) {
      int code = LastOSErrorCode();
      if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED && code != ERROR_CALL_NOT_IMPLEMENTED) {
        RaiseOSError(code);
      }
    }
  }

  void Truncate(Handle file, uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    SetInformation(Native(file), FileEndOfFileInfo, end);
  }

  void Sync(Handle file) override {
    if (!::FlushFileBuffers(Native(file))) RaiseLastOSError();
  }

  void Close(Handle file) override {
    if (!::CloseHandle(Native(file))) RaiseLastOSError();
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (!::MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      RaiseLastOSError();
    }
  }

  void Remove(const std::string& path) override {
    if (!::DeleteFileW(Utf8ToWide(path).c_str())) RaiseLastOSError();
  }

  // The rename was made with write-through: nothing of the folder is left
  // to flush.
  void SyncFolder(const std::string&) override {}

  void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
};

}  // namespace

FileOps& PlatformFileOps() {
  static Win32FileOps ops;
  return ops;
}

}  // namespace tarn
