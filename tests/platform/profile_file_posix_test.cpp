// Profile writes that meet the limits of a POSIX system.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "platform/portable/exceptions.h"
#include "profile_fixture.h"

namespace tarn {
namespace {

using testing::ProfileFile;
using testing::ReadFile;
using testing::WriteFile;

// Lowers the file-size limit for the life of the object, with SIGXFSZ
// ignored so that the write fails instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_;
  void (*old_handler_)(int);
};

TEST_F(ProfileFile, AFailedSaveLeavesTheOldFileIntact) {
  std::string before = "[s]\r\nk=" + std::string(100, 'a') + "\r\n";
  WriteFile(file_, before);
  {
    FileSizeLimit limit(64);
    EXPECT_THROW(WriteProfileValue("s", "k", std::string(200, 'b'), file_), EIniFileException);
  }
  EXPECT_EQ(ReadFile(file_), before);
  std::error_code ignored;
  std::filesystem::directory_iterator entries(dir_.Dir());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1) << "a temporary file was left behind";
}

}  // namespace
}  // namespace tarn
