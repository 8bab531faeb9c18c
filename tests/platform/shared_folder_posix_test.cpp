// What the users who share a settings folder can do to one another's saves:
// links and second names planted by another user, the writers' lock, and a
// member saving over a file that root or another member wrote.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "expect_error.h"
#include "platform/display_text.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"
#include "test_support.h"
#include "unprivileged.h"

namespace tarn {
namespace {

using testing::kNobody;
using testing::ReadFile;
using testing::RunUnprivileged;
using testing::WriteFile;

constexpr const char* kBefore = "[s]\r\nk=1\r\n";

class SharedFolderPosix : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "other users' files need the superuser to stage";
    ASSERT_EQ(::chmod(dir_.Dir().c_str(), 0755), 0);
    std::filesystem::create_directory(folder_);
    WriteFile(victim_, kBefore);
  }

  struct stat Stat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
  }

  testing::TempDir dir_;
  std::string folder_ = dir_.Path("shared");
  std::string victim_ = dir_.Path("victim.ini");
  std::string file_ = folder_ + "/t.ini";
};

// A link or second name in a folder that others may write leads a save
// only when the writer or the folder's owner made it.
TEST_F(SharedFolderPosix, ALinkAnotherUserPlacedInAFolderOthersMayWriteIsRefused) {
  struct Case {
    const char* what;
    bool hard;
    uid_t link_owner, folder_owner;
    mode_t folder_mode;
    bool refused;
  };
  for (const Case& c : {Case{"another user's link, group-writable", false, kNobody, 0, 02775, true},
                        Case{"another user's link, world-writable", false, kNobody, 0, 0777, true},
                        Case{"another user's second name", true, kNobody, 0, 02775, true},
                        Case{"the writer's own link", false, 0, kNobody, 0777, false},
                        Case{"the folder owner's link", false, kNobody, kNobody, 02775, false},
                        Case{"a link in a folder only its owner writes", false, kNobody, 0, 0755, false}}) {
    SCOPED_TRACE(c.what);
    WriteFile(victim_, kBefore);
    ASSERT_EQ(::chown(folder_.c_str(), c.folder_owner, 0), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), c.folder_mode), 0);
    if (c.hard) {
      ASSERT_EQ(::chown(victim_.c_str(), c.link_owner, 0), 0);
      std::filesystem::create_hard_link(victim_, file_);
    } else {
      std::filesystem::create_symlink(victim_, file_);
      ASSERT_EQ(::lchown(file_.c_str(), c.link_owner, 0), 0);
    }
    if (c.refused) {
      EXPECT_THROW_MSG(WriteProfileValue("s", "k", "2", file_), EIniFileException,
                       "Unable to write to " + DisplayPath(file_) + ": " + DisplayPath(file_) +
                           " is a link made by another user");
      EXPECT_EQ(ReadFile(victim_), kBefore);
    } else {
      WriteProfileValue("s", "k", "2", file_);
      EXPECT_EQ(ReadFile(victim_), "[s]\r\nk=2\r\n");
    }
    std::filesystem::remove(file_);
    ASSERT_EQ(::chown(victim_.c_str(), 0, 0), 0);
  }
}

// A link put in after the writer resolved the path (another user swapping
// the file while a window is open) is never written through.
TEST_F(SharedFolderPosix, ALinkPutInAfterTheCheckIsNeverWrittenThrough) {
  std::filesystem::create_symlink(victim_, file_);
  EXPECT_THROW_MSG(ReplaceFileAtomically(file_, "x"), EOSError, NotRegularFileError().Message());
  EXPECT_THROW_MSG(OverwriteFileInPlace(file_, "x"), EOSError, NotRegularFileError().Message());
  EXPECT_EQ(ReadFile(victim_), kBefore);
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
}

// Who may keep a save waiting. A user who may only read the settings may
// not: not with a lock on the folder, nor on the file, nor on the writers'
// lock file, which it may not open. Another writer may, for a while: the
// save says so, then gives up writing nothing; a writer killed while holding
// the lock lets go.
TEST_F(SharedFolderPosix, OnlyAnotherWriterKeepsASaveWaitingAndNotForLong) {
  struct Case {
    const char* holder;
    bool writer;
  };
  ASSERT_EQ(::chmod(folder_.c_str(), 02775), 0);
  for (const Case& c : {Case{"a user who may only read", false}, Case{"another writer", true}}) {
    SCOPED_TRACE(c.holder);
    WriteFile(file_, kBefore);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    auto hold = [&] {
      std::optional<FileWriteLock> lock;
      int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY), file = ::open(file_.c_str(), O_RDONLY);
      struct flock shared {};
      shared.l_type = F_RDLCK;
      bool held = c.writer ? (lock.emplace(file_), true)
                           : ::flock(folder, LOCK_EX) == 0 && ::fcntl(file, F_OFD_SETLK, &shared) == 0 &&
                                 ::open((folder_ + "/.tarn.lock").c_str(), O_RDONLY) < 0;
      (void)!::write(ready[1], held ? "y" : "n", 1);
      ::sleep(10);
      return 0;
    };
    pid_t holder = c.writer ? testing::StartChild(hold) : testing::StartUnprivileged(hold);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    std::string told;
    SetLockWait({100, 1000, [&](const std::string& path) { told = path; }});
    if (c.writer) {
      EXPECT_THROW_MSG(WriteProfileValue("s", "k", "2", file_), EIniFileException,
                       "Unable to write to " + DisplayPath(file_) + ": another program kept " + DisplayPath(file_) +
                           " locked for 1 second");
      EXPECT_EQ(told, file_);
      EXPECT_EQ(ReadFile(file_), kBefore);
    }
    ::kill(holder, SIGKILL);
    testing::WaitForChild(holder);
    WriteProfileValue("s", "k", "2", file_);
    SetLockWait({});
    EXPECT_EQ(told.empty(), !c.writer);
    EXPECT_EQ(ReadFile(file_), "[s]\r\nk=2\r\n");
    ::close(ready[0]);
    ::close(ready[1]);
  }
  EXPECT_EQ(Stat(folder_ + "/.tarn.lock").st_mode & 07777, 0660u);
}

// A member of a shared folder's group replaces a file that root wrote, as
// a new file of its own with the old one's group and mode; a file whose
// owner would lose access by that is rewritten in place.
TEST_F(SharedFolderPosix, AMemberReplacesAFileOnlyWhereNoOneLosesAccess) {
  struct Case {
    const char* what;
    uid_t owner;
    bool replaced;
  };
  ASSERT_EQ(::chown(folder_.c_str(), 0, kNobody), 0);
  ASSERT_EQ(::chmod(folder_.c_str(), 02775), 0);
  for (const Case& c : {Case{"root's file", 0, true}, Case{"a file of a user outside the group", 4321, false}}) {
    SCOPED_TRACE(c.what);
    WriteFile(file_, kBefore);
    ASSERT_EQ(::chown(file_.c_str(), c.owner, kNobody), 0);
    ASSERT_EQ(::chmod(file_.c_str(), 0666), 0);
    ino_t before = Stat(file_).st_ino;
    EXPECT_EQ(RunUnprivileged([&] {
                WriteProfileValue("s", "k", "2", file_);
                return 0;
              }),
              0);
    struct stat after = Stat(file_);
    EXPECT_EQ(after.st_ino != before, c.replaced);
    EXPECT_EQ(after.st_uid, c.replaced ? kNobody : c.owner);
    EXPECT_EQ(after.st_gid, kNobody);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(ReadFile(file_), "[s]\r\nk=2\r\n");
  }
}

}  // namespace
}  // namespace tarn
