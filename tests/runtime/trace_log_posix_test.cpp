// Where traces go when another user has placed a link as the trace folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/module_startup.h"
#include "runtime/trace_log.h"
#include "test_support.h"

namespace tarn {
namespace {

// In a folder others may write, a trace folder that is another user's link
// is not followed; the executable's own folder takes the traces instead.
TEST(TraceLogPosix, AnotherUsersLinkAsTheTraceFolderIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "another user's link needs the superuser to stage";
  testing::TempDir exe_dir, elsewhere;
  ASSERT_EQ(::chmod(exe_dir.Dir().c_str(), 0777), 0);
  std::filesystem::create_directory_symlink(elsewhere.Dir(), exe_dir.Path("trace"));
  ASSERT_EQ(::lchown(exe_dir.Path("trace").c_str(), 65534, 65534), 0);
  TraceLogStartup(exe_dir.Dir());
  EXPECT_EQ(TraceDirectory(), exe_dir.Dir());
  TraceLogShutdown();
  ClearTerminateProcs();
}

}  // namespace
}  // namespace tarn
