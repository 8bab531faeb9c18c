// The POSIX file back end: what a replaced file keeps.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "test_support.h"

namespace tarn {
namespace {

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

}  // namespace
}  // namespace tarn
