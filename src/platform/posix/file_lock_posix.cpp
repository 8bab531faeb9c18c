#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/portable/exceptions.h"
#include "platform/file_system.h"

namespace tarn {

// The lock is taken on the folder that holds `path`: the file itself is
// replaced by every write (a lock on it would be left on the old file), may
// not exist yet, and shares the folder with its temporary file. Every file
// of the folder shares the lock, which costs nothing for settings files.
FileWriteLock::FileWriteLock(const std::string& path) {
  std::string dir = ExtractFilePath(path);
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) RaiseLastOSError();
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      int code = errno;
      ::close(fd);
      RaiseOSError(code);
    }
  }
  handle_ = fd;
}

// Closing the descriptor releases the lock; so does the end of the process.
FileWriteLock::~FileWriteLock() { ::close(static_cast<int>(handle_)); }

}  // namespace tarn
