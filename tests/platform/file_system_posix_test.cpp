// The POSIX file back end: what a replaced file keeps, and the failures that
// only POSIX calls have.
#include <gtest/gtest.h>

#include <cerrno>

#include "faulty_file_ops.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::FaultyFileOps;
using testing::FileCall;

TEST(FileSystemPosix, AtomicReplaceKeepsPermissions) {
  testing::TempDir dir;
  std::string path = dir.Path("f");
  testing::WriteFile(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ReplaceFileAtomically(path, "new");
  EXPECT_EQ(testing::ReadFile(path), "new");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A call cut short by a signal is made again; a full disk is reported as
// the system says it.
TEST(FileSystemPosix, InterruptedCallsAreMadeAgainAndAFullDiskIsReported) {
  testing::TempDir dir;
  std::string path = dir.Path("f");
  testing::WriteFile(path, "old");
  FaultyFileOps ops;
  ops.Fail(FileCall::kRead, 1, EINTR, 3);
  ops.Fail(FileCall::kWrite, 1, EINTR, 3);
  OverwriteFileInPlace(path, "in place", ops);
  ops.Fail(FileCall::kWrite, 1, EINTR, 2);
  ReplaceFileAtomically(path, "replaced", ops);
  ops.Fail(FileCall::kRead, 1, EINTR, 2);
  EXPECT_EQ(ReadFileBytes(path, nullptr, ops), "replaced");
  EXPECT_EQ(ops.Calls(FileCall::kWrite), (3 + 1) + (2 + 1));
  ops.Fail(FileCall::kWrite, 1, ENOSPC);
  try {
    ReplaceFileAtomically(path, "no room", ops);
    ADD_FAILURE() << "the full disk went unreported";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.Message(), "System Error.  Code: 28.\r\nNo space left on device");
  }
  EXPECT_EQ(testing::ReadFile(path), "replaced");
}

}  // namespace
}  // namespace tarn
