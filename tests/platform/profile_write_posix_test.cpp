// What a profile write does to the file it changes, and to writers that run
// at once or are killed midway.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "expect_error.h"
#include "platform/display_text.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"
#include "test_support.h"
#include "unprivileged.h"

namespace tarn {
namespace {

using testing::FolderEntries;
using testing::GiveToUnprivileged;
using testing::ReadFile;
using testing::RunUnprivileged;
using testing::TempDir;
using testing::WriteFile;

constexpr const char* kBefore = "[s]\r\nk=1\r\n";
constexpr const char* kAfter = "[s]\r\nk=2\r\n";

class ProfileWritePosix : public ::testing::Test {
 protected:
  // Lets RunUnprivileged's user reach the folder; `mode` decides whether it
  // may also change what the folder holds.
  void OpenFolder(mode_t mode) { ASSERT_EQ(::chmod(dir_.Dir().c_str(), mode), 0); }
  void TearDown() override { OpenFolder(0700); }

  TempDir dir_;
  std::string file_ = dir_.Path("test.ini");
};

struct stat Stat(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

TEST_F(ProfileWritePosix, OtherNamesOfTheFileSeeTheNewText) {
  WriteFile(file_, kBefore);
  std::filesystem::create_directory(dir_.Path("sub"));
  std::filesystem::create_symlink("../test.ini", dir_.Path("sub/middle.ini"));
  std::filesystem::create_symlink("sub/middle.ini", dir_.Path("link.ini"));
  WriteProfileValue("s", "k", "2", dir_.Path("link.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.Path("link.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.Path("sub/middle.ini")));
  EXPECT_EQ(ReadFile(file_), kAfter);
  std::filesystem::create_hard_link(file_, dir_.Path("hard.ini"));
  WriteProfileValue("s", "k", "3", file_);
  EXPECT_EQ(ReadFile(dir_.Path("hard.ini")), "[s]\r\nk=3\r\n");
}

// A package may place links to files that the first save makes: until then
// the file is missing, for readers and for the settings loaders alike.
TEST_F(ProfileWritePosix, ALinkToAFileNotYetMadeIsAMissingFileThatTheFirstSaveMakes) {
  std::filesystem::create_directory(dir_.Path("etc"));
  struct Case {
    const char* link;
    std::string target;  // as the link holds it
    std::string file;    // the file the first save makes
  };
  for (const Case& c : {Case{"relative.ini", "etc/absent.ini", dir_.Path("etc/absent.ini")},
                        Case{"absolute.ini", dir_.Path("etc/other.ini"), dir_.Path("etc/other.ini")}}) {
    SCOPED_TRACE(c.link);
    std::string link = dir_.Path(c.link);
    std::filesystem::create_symlink(c.target, link);
    EXPECT_FALSE(FileExists(link));
    EXPECT_EQ(ReadFileBytes(link), std::nullopt);
    EXPECT_EQ(ReadProfileValue("s", "k", "default", link), "default");
    WriteProfileValue("s", "k", "1", link);
    WriteProfileValue("s", "k", "2", link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(c.file), kAfter);
  }
  EXPECT_EQ(FolderEntries(dir_.Dir()), (std::vector<std::string>{"absolute.ini", "etc", "relative.ini"}));
}

// Every member of a shared folder's group saves the file, whoever saved
// first and whatever their umask.
TEST_F(ProfileWritePosix, ANewFileInASharedFolderIsWritableByItsGroup) {
  std::filesystem::create_directory(dir_.Path("shared"));
  std::filesystem::create_directory(dir_.Path("private"));
  ASSERT_EQ(::chmod(dir_.Path("shared").c_str(), 02775), 0);
  mode_t umask = ::umask(022);
  WriteProfileValue("s", "k", "1", dir_.Path("shared/t.ini"));
  WriteProfileValue("s", "k", "1", dir_.Path("private/t.ini"));
  ::umask(umask);
  EXPECT_EQ(Stat(dir_.Path("shared/t.ini")).st_mode & 0777, 0664u);
  EXPECT_EQ(Stat(dir_.Path("private/t.ini")).st_mode & 0777, 0644u);
}

TEST_F(ProfileWritePosix, TheFileKeepsItsOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser writes a file of another user";
  WriteFile(file_, kBefore);
  GiveToUnprivileged(file_);
  ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
  WriteProfileValue("s", "k", "2", file_);
  struct stat info = Stat(file_);
  EXPECT_EQ(info.st_uid, testing::kNobody);
  EXPECT_EQ(info.st_gid, testing::kNobody);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(file_), kAfter);
}

TEST_F(ProfileWritePosix, AFileItsUserMayNotWriteIsRefusedInAWritableFolder) {
  OpenFolder(0777);
  WriteFile(file_, kBefore);
  GiveToUnprivileged(file_);
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  int status = RunUnprivileged([&] {
    EXPECT_THROW_MSG(WriteProfileValue("s", "k", "2", file_), EIniFileException, "Unable to write to " + DisplayPath(file_));
    return ::testing::Test::HasFailure() ? 1 : 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(file_), kBefore);
}

// Not crash-safe, as the platform's own write is not, but the only way to
// change such a file.
TEST_F(ProfileWritePosix, AWritableFileInAFolderItsUserMayNotWriteIsWrittenInPlace) {
  WriteFile(file_, kBefore);
  GiveToUnprivileged(file_);
  OpenFolder(0555);
  ino_t before = Stat(file_).st_ino;
  int status = RunUnprivileged([&] {
    WriteProfileValue("s", "longer", std::string(5000, 'x'), file_);
    WriteProfileValue("s", "longer", "", file_);
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(file_), "[s]\r\nk=1\r\nlonger=\r\n");
  EXPECT_EQ(Stat(file_).st_ino, before);
}

TEST_F(ProfileWritePosix, AFileThatCannotBeReadGivesTheDefaultsAndIsNotWritten) {
  EXPECT_EQ(ReadProfileValue("s", "k", "default", dir_.Dir()), "default");  // a folder in its place
  OpenFolder(0777);
  WriteFile(file_, kBefore);
  GiveToUnprivileged(file_);
  ASSERT_EQ(::chmod(file_.c_str(), 0200), 0);
  int status = RunUnprivileged([&] {
    EXPECT_EQ(ReadProfileValue("s", "k", "default", file_), "default");
    // Writing would lose the text it cannot read.
    EXPECT_THROW(WriteProfileValue("s", "j", "2", file_), EIniFileException);
    return ::testing::Test::HasFailure() ? 1 : 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(file_), kBefore);
}

TEST_F(ProfileWritePosix, WritersKilledMidwayLeaveAtMostOneTemporaryFileAndTheNextWriteRemovesIt) {
  std::string filler;
  for (int i = 0; i < 4000; ++i) filler += "filler" + std::to_string(i) + "=" + std::string(40, 'f') + "\r\n";
  WriteFile(file_, "[s]\r\n" + filler);
  for (int round = 0; round < 40; ++round) {
    pid_t child = testing::StartChild([&]() -> int {
      for (int i = 0;; ++i) WriteProfileValue("s", "k", std::to_string(i), file_);
    });
    ASSERT_GE(child, 0);
    // Killed at a different point of a write each round.
    ::usleep(2000 + 397 * round);
    ::kill(child, SIGKILL);
    testing::WaitForChild(child);
  }
  EXPECT_LE(FolderEntries(dir_.Dir()).size(), 2u) << "more than one temporary file beside the file";
  EXPECT_EQ(ReadProfileValue("s", "filler3999", "", file_), std::string(40, 'f'));
  WriteProfileValue("s", "k", "last", file_);
  EXPECT_EQ(FolderEntries(dir_.Dir()), std::vector<std::string>{"test.ini"});
}

TEST_F(ProfileWritePosix, TwoProcessesAddingKeysAtOnceLoseNone) {
  constexpr int kKeys = 60;
  auto key = [](int child, int i) { return std::to_string(child) + "-" + std::to_string(i); };
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = testing::StartChild([&, child] {
      for (int i = 0; i < kKeys; ++i) WriteProfileValue("s", key(child, i), "v", file_);
      return 0;
    });
  }
  for (pid_t child : children) ASSERT_EQ(testing::WaitForChild(child), 0);
  int lost = 0;
  for (int child = 0; child < 2; ++child) {
    for (int i = 0; i < kKeys; ++i) lost += ReadProfileValue("s", key(child, i), "", file_) != "v";
  }
  EXPECT_EQ(lost, 0);
}

}  // namespace
}  // namespace tarn
