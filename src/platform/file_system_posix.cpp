#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/exceptions.h"

namespace tarn {

const char kPathDelim = '/';

namespace {

// Closes a descriptor when it goes out of scope; close errors on a read-only
// descriptor carry no information.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

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

std::optional<std::string> ReadFileBytes(const std::string& path) {
  Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    RaiseLastOSError();
  }
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

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) RaiseLastOSError();
  try {
    struct stat original;
    // Keep the original file's permission bits; a new file gets the usual
    // ones for the user's umask.
    if (::stat(path.c_str(), &original) == 0) {
      ::fchmod(fd, original.st_mode & 07777);
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
    WriteAll(fd, bytes);
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
  std::string dir = ExtractFilePath(path);
  Fd directory{::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd >= 0) ::fsync(directory.fd);
}

}  // namespace tarn
