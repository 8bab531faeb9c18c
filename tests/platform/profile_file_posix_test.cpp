// Profile files that meet the limits of a POSIX system: file sizes, names of
// the longest length, and things in a file's place that are not files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "expect_error.h"
#include "platform/display_text.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "profile_fixture.h"
#include "unprivileged.h"

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
  EXPECT_EQ(testing::FolderEntries(dir_.Dir()).size(), 1u) << "a temporary file was left behind";
}

// Names up to the longest a folder entry may have are written, created and
// replaced alike, with multi-byte characters where the temporary name is cut.
TEST_F(ProfileFile, NamesOfTheLongestLengthsCanBeWritten) {
  for (size_t length : {250u, 251u, 253u, 255u}) {
    for (const std::string& tail : {std::string(), std::string("\xC5\x81\xC3\xB3" "d\xC5\xBA")}) {
      std::string name = std::string(length - tail.size() - 4, 'n') + tail + ".ini";
      std::string path = dir_.Path(name);
      SCOPED_TRACE(std::to_string(length) + " bytes" + (tail.empty() ? "" : ", multi-byte"));
      WriteProfileValue("s", "k", "1", path);
      WriteProfileValue("s", "k", "2", path);
      EXPECT_EQ(ReadProfileValue("s", "k", "", path), "2");
      EXPECT_EQ(testing::FolderEntries(dir_.Dir()).size(), 1u) << "a temporary file was left behind";
      std::filesystem::remove(path);
    }
  }
}

// A FIFO, a device or a folder in a profile file's place is refused at once:
// a read gives the defaults, a write fails and leaves it as it was, and no
// writer of the folder is kept waiting. Each case runs in a child that an
// alarm ends after a few seconds: a call that waits forever fails the test
// instead of hanging it.
TEST_F(ProfileFile, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  std::string fifo = dir_.Path("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  std::filesystem::create_symlink(fifo, dir_.Path("link-to-fifo.ini"));
  std::filesystem::create_directory(dir_.Path("folder.ini"));
  for (const std::string& path : {fifo, dir_.Path("link-to-fifo.ini"), std::string("/dev/zero"),
                                  std::string("/dev/null"), dir_.Path("folder.ini")}) {
    SCOPED_TRACE(path);
    int status = testing::RunInChild([&] {
      ::alarm(10);
      EXPECT_EQ(ReadProfileValue("s", "k", "default", path), "default");
      EXPECT_THROW_MSG(WriteProfileValue("s", "k", "v", path), EIniFileException,
                       "Unable to write to " + DisplayPath(path));
      if (path != dir_.Path("folder.ini")) {
        EXPECT_THROW_MSG(ReadFileBytes(path), EOSError, NotRegularFileError().Message());
        EXPECT_THROW_MSG(OverwriteFileInPlace(path, "x"), EOSError, NotRegularFileError().Message());
        EXPECT_THROW_MSG(ReplaceFileAtomically(path, "x"), EOSError, NotRegularFileError().Message());
      }
      WriteProfileValue("s", "k", "v", file_);  // the folder's lock is free again
      return ::testing::Test::HasFailure() ? 1 : 0;
    });
    EXPECT_EQ(status, 0);
  }
  struct stat info;
  ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace tarn
