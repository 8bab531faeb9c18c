#include "platform/file_system.h"

#include <windows.h>
#include <aclapi.h>

#include <optional>
#include <vector>

#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/win32/wide_text.h"

namespace tarn {

const char kPathDelim = '\\';
const char kPathDelimiters[] = "\\/";

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Calls `fill(buffer, size)`, which returns the length it needs or wrote
// (0 on failure), with a buffer large enough for the whole answer.
template <typename Fill>
std::wstring GrowingBuffer(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) RaiseLastOSError();
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length + 1);
  }
}

// The path as the file system itself names the file or folder: links and
// junctions followed, short names long, letter case as stored; nothing when
// it cannot be opened.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
  Handle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return std::nullopt;
  std::wstring final = GrowingBuffer([&](wchar_t* buffer, DWORD size) {
    return ::GetFinalPathNameByHandleW(file.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  });
  // The answer comes in the long form (\\?\C:\..., \\?\UNC\server\...),
  // which not every call takes; the usual form names the same file, but
  // only up to the platform's old limit on a path's length.
  if (final.size() >= MAX_PATH) return final;
  if (final.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + final.substr(8);
  if (final.starts_with(L"\\\\?\\")) return final.substr(4);
  return final;
}

// The owner of what `path` names itself, a link or junction not followed.
std::vector<BYTE> OwnerOf(const std::wstring& path) {
  Handle file(::CreateFileW(path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                            nullptr));
  if (!file.Valid()) RaiseLastOSError();
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = ::GetSecurityInfo(file.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                  nullptr, &descriptor);
  if (error != ERROR_SUCCESS) RaiseOSError(static_cast<int>(error));
  std::vector<BYTE> sid(::GetLengthSid(owner));
  ::CopySid(static_cast<DWORD>(sid.size()), sid.data(), owner);
  ::LocalFree(descriptor);
  return sid;
}

std::vector<BYTE> CurrentUser() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) RaiseLastOSError();
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  bool got = ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  int code = LastOSErrorCode();
  ::CloseHandle(token);
  if (!got) RaiseOSError(code);
  PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  return std::vector<BYTE>(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + ::GetLengthSid(user));
}

// The administrators, whose elevated programs own what they make, and the
// system, which owns the junctions that Windows itself sets up.
bool IsSystemOrAdministrators(std::vector<BYTE>& sid) {
  for (WELL_KNOWN_SID_TYPE kind : {WinBuiltinAdministratorsSid, WinLocalSystemSid}) {
    BYTE known[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof known;
    if (::CreateWellKnownSid(kind, nullptr, known, &size) && ::EqualSid(sid.data(), known)) return true;
  }
  return false;
}

// Where the first name below a full path's root ends: past "C:\", past
// "\\server\share" and past the long form's "\\?\" or "\\?\UNC\".
size_t RootEnd(const std::wstring& full) {
  bool unc = full.starts_with(L"\\\\?\\UNC\\") || (full.starts_with(L"\\\\") && !full.starts_with(L"\\\\?\\"));
  size_t start = full.starts_with(L"\\\\?\\UNC\\") ? 8 : full.starts_with(L"\\\\?\\") ? 4 : unc ? 2 : 0;
  // A share's server and name, or a drive.
  size_t end = full.find(L'\\', start);
  if (unc && end != std::wstring::npos) end = full.find(L'\\', end + 1);
  return end;
}

// A link or junction on the way to a file is trusted when it belongs to the
// current user, to the owner of the folder that holds it, to the system or
// to the administrators: anyone else who could place it there could point
// this user's write at any file.
void RequireTrustedLinks(const std::wstring& full) {
  std::optional<std::vector<BYTE>> user;
  for (size_t end = RootEnd(full); end != std::wstring::npos;) {
    size_t next = full.find(L'\\', end + 1);
    std::wstring part = full.substr(0, next);
    DWORD attributes = ::GetFileAttributesW(part.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      std::vector<BYTE> owner = OwnerOf(part);
      if (!user) user = CurrentUser();
      if (!::EqualSid(owner.data(), user->data()) && !IsSystemOrAdministrators(owner)) {
        std::vector<BYTE> folder = OwnerOf(full.substr(0, end + 1));
        if (!::EqualSid(owner.data(), folder.data())) throw UntrustedLinkError(WideToUtf8(part));
      }
    }
    end = next;
  }
}

}  // namespace

std::string ExePath() {
  return WideToUtf8(GrowingBuffer([](wchar_t* buffer, DWORD size) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer, size);
    // A cut answer fills the buffer: ask for a larger one.
    return length == size ? size : length;
  }));
}

bool FileExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& path) { return ::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) != 0; }

// Every spelling of one file becomes one path: absolute ('/' and '\\'
// alike, "." and ".." gone, a bare name taken from the current folder),
// then the file's final path, or for a file not made yet its folder's.
std::string ResolveFileLinks(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  std::wstring full = GrowingBuffer([&](wchar_t* buffer, DWORD size) {
    return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
  RequireTrustedLinks(full);
  if (std::optional<std::wstring> final = FinalPath(full)) return WideToUtf8(*final);
  size_t slash = full.rfind(L'\\');
  if (slash != std::wstring::npos) {
    if (std::optional<std::wstring> folder = FinalPath(full.substr(0, slash + 1))) {
      if (!folder->ends_with(L'\\')) *folder += L'\\';
      return WideToUtf8(*folder + full.substr(slash + 1));
    }
  }
  return WideToUtf8(full);
}

bool MayWriteFile(const std::string& path) {
  Handle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid();
}

// The replacement gives the new file the old one's attributes and security,
// so only a folder that refuses a new file stops it, or a file of more than
// one name (hard links), whose other names would keep the old text.
bool CanReplaceFile(const std::string& path) {
  Handle file(::CreateFileW(Utf8ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (file.Valid() && ::GetFileInformationByHandle(file.Get(), &info) && info.nNumberOfLinks > 1) return false;
  Handle probe(::CreateFileW(Utf8ToWide(TemporaryFileFor(path)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return probe.Valid();
}

}  // namespace tarn
