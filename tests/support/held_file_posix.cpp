#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/held_file.h"

namespace tarn::testing {

HeldFile::HeldFile(std::string path) : path_(std::move(path)) {
  if (std::rename(path_.c_str(), (path_ + ".held").c_str()) != 0 || ::mkfifo(path_.c_str(), 0644) != 0) std::abort();
  handle_ = 0;
}

void HeldFile::Release() {
  if (handle_ < 0) return;
  handle_ = -1;
  if (::unlink(path_.c_str()) != 0 || std::rename((path_ + ".held").c_str(), path_.c_str()) != 0) std::abort();
}

}  // namespace tarn::testing
