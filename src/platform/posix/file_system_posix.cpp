#include "platform/file_system.h"

#include <fcntl.h>
#include <pwd.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include "platform/portable/exceptions.h"

namespace tarn {

const char kPathDelim = '/';
const char kPathDelimiters[] = "/";

std::string ExePath() {
  char buffer[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length < 0) RaiseLastOSError();
  return std::string(buffer, static_cast<size_t>(length));
}

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateDir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

namespace {

// Someone besides the folder's owner may add, remove or rename its entries
// (the group bits stand for an access list's mask).
bool OthersMayWrite(const struct stat& folder) { return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

// A link, or a second name of a file, found in a folder that others may
// write is trusted only when it belongs to this user or to the folder's
// owner, as the kernel rules for links in sticky folders: otherwise another
// user could point this user's write at any file.
void RequireTrusted(const std::string& name, const struct stat& info, const std::string& folder) {
  struct stat folder_info;
  if (::stat(folder.empty() ? "." : folder.c_str(), &folder_info) != 0) RaiseLastOSError();
  if (OthersMayWrite(folder_info) && info.st_uid != ::geteuid() && info.st_uid != folder_info.st_uid) {
    throw UntrustedLinkError(name);
  }
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// `path`'s parts, last first, for a walk that takes them from the back.
void PushParts(std::string_view path, std::vector<std::string>& parts) {
  while (!path.empty()) {
    size_t slash = path.rfind('/');
    std::string_view part = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
  }
}

// The folder that holds `resolved`, which has no links in it: a step back
// in its text is a step up on disk.
std::string ParentOf(const std::string& resolved) {
  if (resolved == "/") return resolved;
  if (resolved.empty() || resolved == ".." || resolved.ends_with("/..")) return Joined(resolved, "..");
  size_t slash = resolved.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : resolved.substr(0, slash);
}

}  // namespace

std::string ResolveFileLinks(const std::string& path) {
  std::string resolved = path.starts_with('/') ? "/" : "";
  std::vector<std::string> parts;
  PushParts(path, parts);
  // The system's own bound on links followed while resolving one path.
  for (int links = 0; !parts.empty();) {
    std::string part = std::move(parts.back());
    parts.pop_back();
    if (part == "..") {
      resolved = ParentOf(resolved);
      continue;
    }
    std::string next = Joined(resolved, part);
    struct stat info;
    if (::lstat(next.c_str(), &info) != 0) {
      if (errno != ENOENT && errno != ENOTDIR) RaiseLastOSError();
      // Nothing there yet: the rest names what a write creates.
      for (resolved = next; !parts.empty(); parts.pop_back()) resolved = Joined(resolved, parts.back());
      return resolved;
    }
    if (S_ISLNK(info.st_mode)) {
      RequireTrusted(next, info, resolved);
      if (++links > 40) RaiseOSError(ELOOP);
      char target[PATH_MAX];
      ssize_t length = ::readlink(next.c_str(), target, sizeof target);
      if (length < 0) RaiseLastOSError();
      if (static_cast<size_t>(length) == sizeof target) RaiseOSError(ENAMETOOLONG);
      std::string_view text(target, static_cast<size_t>(length));
      if (text.starts_with('/')) resolved = "/";
      PushParts(text, parts);
      continue;
    }
    if (parts.empty() && !S_ISDIR(info.st_mode) && info.st_nlink > 1) RequireTrusted(next, info, resolved);
    resolved = std::move(next);
  }
  return resolved.empty() ? "." : resolved;
}

bool MayWriteFile(const std::string& path) {
  // The effective user, as opening the file would check.
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

namespace {

bool InGroup(gid_t group) {
  if (group == ::getegid()) return true;
  int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  count = ::getgroups(count, groups.data());
  return count > 0 && std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

// Whether `user` is a member of `group`, by the system's account database.
bool UserInGroup(uid_t user, gid_t group) {
  struct passwd* account = ::getpwuid(user);
  if (account == nullptr) return false;
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (::getgrouplist(account->pw_name, account->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (::getgrouplist(account->pw_name, account->pw_gid, groups.data(), &count) < 0) return false;
  }
  return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

// In a folder shared by its group (set-group-ID and group-writable), a
// member may put a file of its own in the place of one that another member
// or the superuser wrote: the new file keeps the group and mode, and no one
// loses access, since the old owner is the superuser or a member whose
// rights as owner its group has too.
bool MemberMayReplace(const struct stat& file, const struct stat& folder) {
  if ((folder.st_mode & (S_ISGID | S_IWGRP)) != (S_ISGID | S_IWGRP)) return false;
  if (file.st_gid != folder.st_gid || !InGroup(file.st_gid)) return false;
  if (file.st_uid == 0) return true;
  mode_t owner_rights = (file.st_mode >> 6) & 7, group_rights = (file.st_mode >> 3) & 7;
  return (owner_rights & ~group_rights) == 0 && UserInGroup(file.st_uid, file.st_gid);
}

}  // namespace

bool CanReplaceFile(const std::string& path) {
  std::string folder = FolderOf(path);
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return true;
  if (info.st_nlink > 1) return false;
  // Only the superuser gives a file away; others may choose among their own
  // groups for a file of their own.
  if (::geteuid() == 0 || (info.st_uid == ::geteuid() && InGroup(info.st_gid))) return true;
  struct stat folder_info;
  return ::stat(folder.c_str(), &folder_info) == 0 && MemberMayReplace(info, folder_info);
}

}  // namespace tarn
