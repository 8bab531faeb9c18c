#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/file_system.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

FileIdentity IdentityOf(const struct stat& info) {
  return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                      static_cast<uint64_t>(info.st_size),
                      static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

FileKind KindOf(const struct stat& info) {
  return S_ISREG(info.st_mode) ? FileKind::kRegular : S_ISDIR(info.st_mode) ? FileKind::kFolder : FileKind::kOther;
}

// A FIFO or a device would block the open or the read, or never end.
void RequireRegular(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) RaiseOSError(EISDIR);
  if (!S_ISREG(info.st_mode)) throw NotRegularFileError();
}

int Descriptor(FileOps::Handle file) { return static_cast<int>(file); }

struct stat StatOf(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseLastOSError();
  return info;
}

// A folder that is set-group-ID and group-writable is shared by its group:
// a new file there gets the group's read and write whatever the umask.
void ShareWithFolderGroup(int fd, const std::string& path) {
  struct stat info;
  if (::stat(FolderOf(path).c_str(), &info) != 0) RaiseLastOSError();
  if ((info.st_mode & (S_ISGID | S_IWGRP)) != (S_ISGID | S_IWGRP)) return;
  if (::fchmod(fd, (StatOf(fd).st_mode & 07777) | S_IRGRP | S_IWGRP) != 0) RaiseLastOSError();
}

// The owner goes with the file where this user may give it (the superuser);
// a member of a shared folder's group keeps the new file as its own, with
// the group and mode of the old one.
void TakeOwnerModeAndTime(int fd, const struct stat& original) {
  struct stat written = StatOf(fd);
  uid_t owner = ::geteuid() == 0 ? original.st_uid : static_cast<uid_t>(-1);
  // The owner first: changing it clears the set-user and set-group bits.
  if (((owner != static_cast<uid_t>(-1) && written.st_uid != owner) || written.st_gid != original.st_gid) &&
      ::fchown(fd, owner, original.st_gid) != 0) {
    RaiseLastOSError();
  }
  if (::fchmod(fd, original.st_mode & 07777) != 0) RaiseLastOSError();
  // The clock may not have moved since the old file was written.
  if (IdentityOf(written).modified_ns <= IdentityOf(original).modified_ns) {
    timespec times[2] = {{0, UTIME_OMIT}, original.st_mtim};
    if (++times[1].tv_nsec == 1000000000) times[1].tv_nsec = 0, ++times[1].tv_sec;
    if (::futimens(fd, times) != 0) RaiseLastOSError();
  }
}

class PosixFileOps final : public FileOps {
 public:
  std::optional<FileStatus> Examine(const std::string& path) override {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
      RaiseLastOSError();
    }
    return FileStatus{KindOf(info), IdentityOf(info)};
  }

  // The type is checked before the open, and again on what was opened, in
  // case it was swapped in between; O_NONBLOCK keeps that open from waiting
  // on a FIFO, and is dropped once the file is known to be regular.
  // A writer has resolved the links of `path` already: a link found there
  // now was put in since, and is refused rather than followed.
  Handle Open(const std::string& path, bool write) override {
    struct stat info;
    if ((write ? ::lstat(path.c_str(), &info) : ::stat(path.c_str(), &info)) != 0) RaiseLastOSError();
    RequireRegular(info);
    int fd = ::open(path.c_str(),
                    (write ? O_RDWR | O_NOFOLLOW : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) RaiseLastOSError();
    try {
      RequireRegular(StatOf(fd));
      int flags = ::fcntl(fd, F_GETFL);
      if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) RaiseLastOSError();
    } catch (...) {
      ::close(fd);
      throw;
    }
    return fd;
  }

  Handle Create(const std::string& path, bool owner_only) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, owner_only ? 0600 : 0666);
    if (fd < 0) RaiseLastOSError();
    return fd;
  }

  size_t Read(Handle file, uint64_t offset, char* buffer, size_t size) override {
    ssize_t got = ::pread(Descriptor(file), buffer, size, static_cast<off_t>(offset));
    if (got < 0) RaiseLastOSError();
    return static_cast<size_t>(got);
  }

  size_t Write(Handle file, uint64_t offset, std::string_view bytes) override {
    ssize_t written = ::pwrite(Descriptor(file), bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (written < 0) RaiseLastOSError();
    // Nothing written without an error: no room was left.
    if (written == 0 && !bytes.empty()) RaiseOSError(ENOSPC);
    return static_cast<size_t>(written);
  }

  FileIdentity Identify(Handle file) override { return IdentityOf(StatOf(Descriptor(file))); }

  FileIdentity Adopt(Handle file, const std::string& path) override {
    struct stat original;
    if (::lstat(path.c_str(), &original) == 0) {
      // A link put in after the writer resolved `path` lends nothing.
      RequireRegular(original);
      TakeOwnerModeAndTime(Descriptor(file), original);
    } else if (errno == ENOENT) {
      ShareWithFolderGroup(Descriptor(file), path);
    } else {
      RaiseLastOSError();
    }
    return Identify(file);
  }

  void Reserve(Handle file, uint64_t size) override {
    if (::fallocate(Descriptor(file), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
      RaiseLastOSError();
    }
  }

  void Truncate(Handle file, uint64_t size) override {
    if (::ftruncate(Descriptor(file), static_cast<off_t>(size)) != 0) RaiseLastOSError();
  }

  void Sync(Handle file) override {
    if (::fsync(Descriptor(file)) != 0) RaiseLastOSError();
  }

  // Linux releases the descriptor even when close is cut short: it is never
  // closed again, and the interruption is no failure.
  void Close(Handle file) override {
    if (::close(Descriptor(file)) != 0 && errno != EINTR) RaiseLastOSError();
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) RaiseLastOSError();
  }

  void Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) RaiseLastOSError();
  }

  void SyncFolder(const std::string& folder) override {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) RaiseLastOSError();
    int synced = ::fsync(fd);
    int code = errno;
    ::close(fd);
    if (synced != 0) RaiseOSError(code);
  }

  void Pause(int milliseconds) override {
    timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
  }
};

}  // namespace

FileOps& PlatformFileOps() {
  static PosixFileOps ops;
  return ops;
}

}  // namespace tarn
