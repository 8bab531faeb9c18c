#include "platform/file_system.h"

#include <fcntl.h>
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

std::string ResolveFileLinks(const std::string& path) {
  std::string current = path;
  // The system's own bound on links followed while resolving one path.
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length < 0) {
      if (errno == EINVAL || errno == ENOENT) return current;  // not a link, or nothing there
      RaiseLastOSError();
    }
    if (static_cast<size_t>(length) == sizeof target) RaiseOSError(ENAMETOOLONG);
    std::string next(target, static_cast<size_t>(length));
    current = next.starts_with(kPathDelim) ? next : ExtractFilePath(current) + next;
  }
  RaiseOSError(ELOOP);
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

}  // namespace

bool CanReplaceFile(const std::string& path) {
  if (::faccessat(AT_FDCWD, FolderOf(path).c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return true;
  if (info.st_nlink > 1) return false;
  // Only the superuser gives a file away; others may choose among their own
  // groups for a file of their own.
  return ::geteuid() == 0 || (info.st_uid == ::geteuid() && InGroup(info.st_gid));
}

}  // namespace tarn
