#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

#include "platform/portable/exceptions.h"

namespace tarn {

const char kPathDelim = '/';

namespace {

// Closes a descriptor when it goes out of scope; close errors on a read-only
// descriptor, or on one whose data is already flushed, carry no information.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Refuses what is not a regular file: a FIFO or a device would block the
// open or the read, or never end.
void RequireRegular(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return;
  if (S_ISDIR(info.st_mode)) RaiseOSError(EISDIR);
  throw NotRegularFileError();
}

// Opens an existing regular file (or a link to one) and fills `info`, or
// returns -1 with errno set when there is none to open. Anything else is
// refused before it is opened, and again by what was opened, in case it
// was swapped in between; O_NONBLOCK keeps that open from waiting on a
// FIFO, and is dropped once the file is known to be regular.
int OpenRegularFile(const std::string& path, int flags, struct stat& info) {
  if (::stat(path.c_str(), &info) != 0) return -1;
  RequireRegular(info);
  Fd file{::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) return -1;
  if (::fstat(file.fd, &info) != 0) RaiseLastOSError();
  RequireRegular(info);
  int status = ::fcntl(file.fd, F_GETFL);
  if (status < 0 || ::fcntl(file.fd, F_SETFL, status & ~O_NONBLOCK) != 0) RaiseLastOSError();
  return std::exchange(file.fd, -1);
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      RaiseLastOSError();
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

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

FileIdentity IdentityOf(const struct stat& info) {
  return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                      static_cast<uint64_t>(info.st_size),
                      static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    RaiseLastOSError();
  }
  return IdentityOf(info);
}

std::optional<std::string> ReadFileBytes(const std::string& path, FileIdentity* identity) {
  struct stat info;
  Fd file{OpenRegularFile(path, O_RDONLY, info)};
  if (file.fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    RaiseLastOSError();
  }
  if (identity != nullptr) *identity = IdentityOf(info);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(file.fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      RaiseLastOSError();
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

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

std::string FolderOf(const std::string& path) {
  std::string dir = ExtractFilePath(path);
  return dir.empty() ? "." : dir;
}

// A folder that is set-group-ID and group-writable is shared by its group:
// a new file there gets the group's read and write whatever the umask.
void ShareWithFolderGroup(int fd, const std::string& folder, struct stat& file) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) RaiseLastOSError();
  if ((info.st_mode & (S_ISGID | S_IWGRP)) != (S_ISGID | S_IWGRP)) return;
  if (::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP) != 0 || ::fstat(fd, &file) != 0) RaiseLastOSError();
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

FileIdentity ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temp = TemporaryFileFor(path);
  struct stat original;
  bool replacing = ::stat(path.c_str(), &original) == 0;
  if (replacing) RequireRegular(original);
  // What a killed writer left behind goes first; the new temporary file is
  // then made afresh, never opened through a name someone else placed there.
  if (::unlink(temp.c_str()) != 0 && errno != ENOENT) RaiseLastOSError();
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
  if (fd < 0) RaiseLastOSError();
  FileIdentity identity;
  try {
    WriteAll(fd, bytes);
    struct stat written;
    if (::fstat(fd, &written) != 0) RaiseLastOSError();
    if (!replacing) ShareWithFolderGroup(fd, FolderOf(path), written);
    if (replacing) {
      // The owner first: changing it clears the set-user and set-group bits.
      if ((written.st_uid != original.st_uid || written.st_gid != original.st_gid) &&
          ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        RaiseLastOSError();
      }
      if (::fchmod(fd, original.st_mode & 07777) != 0) RaiseLastOSError();
      // The clock may not have moved since the old file was written.
      if (IdentityOf(written).modified_ns <= IdentityOf(original).modified_ns) {
        timespec times[2] = {{0, UTIME_OMIT}, original.st_mtim};
        if (++times[1].tv_nsec == 1000000000) times[1].tv_nsec = 0, ++times[1].tv_sec;
        if (::futimens(fd, times) != 0) RaiseLastOSError();
      }
      if (::fstat(fd, &written) != 0) RaiseLastOSError();
    }
    identity = IdentityOf(written);
    if (::fsync(fd) != 0) RaiseLastOSError();
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) RaiseLastOSError();
    if (::rename(temp.c_str(), path.c_str()) != 0) RaiseLastOSError();
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  // The rename itself becomes durable once the directory is flushed; the
  // file is already complete, so a failure here loses nothing.
  Fd directory{::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd >= 0) ::fsync(directory.fd);
  return identity;
}

void OverwriteFileInPlace(const std::string& path, std::string_view bytes) {
  struct stat info;
  Fd file{OpenRegularFile(path, O_WRONLY, info)};
  if (file.fd < 0) RaiseLastOSError();
  auto size = static_cast<off_t>(bytes.size());
  if (size > info.st_size && ::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
    RaiseLastOSError();
  }
  WriteAll(file.fd, bytes);
  if (::ftruncate(file.fd, size) != 0) RaiseLastOSError();
  if (::fsync(file.fd) != 0) RaiseLastOSError();
}

}  // namespace tarn
