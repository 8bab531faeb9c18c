// A settings file that another program holds so that no one may read it, as
// a virus scanner or a backup holds a file while it scans it. On Windows
// that is an open handle that shares nothing; POSIX locks are advisory, so
// there the file stands aside and a FIFO, which no one reads as a file,
// takes its name. The file is back as it was once the hold ends.
#pragma once

#include <cstdint>
#include <string>

namespace tarn::testing {

class HeldFile {
 public:
  explicit HeldFile(std::string path);
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  // Ends the hold now; nothing when it has ended.
  void Release();

 private:
  std::string path_;
  intptr_t handle_ = -1;
};

}  // namespace tarn::testing
