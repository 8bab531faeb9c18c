#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

bool IsRefusal(int code) { return code == EACCES || code == EPERM || code == EROFS; }

// The lock file gives the write rights that its folder gives: whoever may
// change the folder's files may hold the lock, whatever the creator's umask.
void GiveFolderRights(int fd, const std::string& folder) {
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0) RaiseLastOSError();
  mode_t mode = 0600 | ((info.st_mode & S_IWGRP) ? 0060 : 0) | ((info.st_mode & S_IWOTH) ? 0006 : 0);
  if (::fchmod(fd, mode) != 0) RaiseLastOSError();
}

// The folder's lock file open for writing, made when missing; -1 when this
// user may not make it or open it for writing. Never through a link: a
// link or anything else in its place is refused.
int OpenLockFile(const std::string& folder) {
  std::string name = folder + "/.tarn.lock";
  for (;;) {
    int fd = ::open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0 && errno == EEXIST) continue;  // another writer made it first
      if (fd >= 0) {
        try {
          GiveFolderRights(fd, folder);
        } catch (...) {
          ::close(fd);
          throw;
        }
      }
    }
    if (fd < 0) {
      if (IsRefusal(errno)) return -1;
      RaiseLastOSError();
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd);
      throw NotRegularFileError();
    }
    return fd;
  }
}

// `path` open for writing, for a user who can only rewrite it in place;
// -1 when there is nothing this user could write.
int OpenFileItself(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) return fd;
  if (IsRefusal(errno) || errno == ENOENT || errno == ELOOP) return -1;
  RaiseLastOSError();
}

// True while `name` still names the file open as `fd`: a lock on a file
// that was removed or replaced since it was opened locks nothing.
bool StillNamed(int fd, const std::string& name) {
  struct stat held, named;
  return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

}  // namespace

// An open file description's lock: released when the description is
// closed, also by the end of the process, and never shared with another
// description of the same process.
bool FileWriteLock::TryTake(const std::string& path, intptr_t& handle) {
  std::string folder = FolderOf(path);
  int fd = OpenLockFile(folder);
  std::string locked = folder + "/.tarn.lock";
  if (fd < 0) {
    fd = OpenFileItself(path);
    locked = path;
  }
  if (fd < 0) {
    handle = kNoHandle;
    return true;
  }
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    int code = errno;
    ::close(fd);
    if (code == EAGAIN || code == EACCES || code == EINTR) return false;
    RaiseOSError(code);
  }
  if (!StillNamed(fd, locked)) {
    ::close(fd);
    return false;
  }
  handle = fd;
  return true;
}

void FileWriteLock::Release(intptr_t handle) {
  if (handle != kNoHandle) ::close(static_cast<int>(handle));
}

}  // namespace tarn
