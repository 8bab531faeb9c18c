#include "platform/input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/portable/exceptions.h"

namespace tarn {

InputStream::InputStream() : handle_(STDIN_FILENO), owned_(false) {}

// A folder opens, and refuses the first read with its reason.
InputStream::InputStream(const std::string& path) : owned_(true) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) RaiseLastOSError();
  handle_ = fd;
}

InputStream::~InputStream() {
  if (owned_) ::close(static_cast<int>(handle_));
}

size_t InputStream::Read(char* buffer, size_t size) {
  for (;;) {
    ssize_t got = ::read(static_cast<int>(handle_), buffer, std::min<size_t>(size, SSIZE_MAX));
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) RaiseLastOSError();
  }
}

uint64_t InputStream::SizeHint() const {
  struct stat status;
  if (::fstat(static_cast<int>(handle_), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<uint64_t>(status.st_size);
}

}  // namespace tarn
