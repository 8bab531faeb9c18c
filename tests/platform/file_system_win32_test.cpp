// The rename that replaces a file, against the answers Windows gives while
// another program (a virus scanner, an indexer, an editor) holds the file.
// No other program holds files under Wine: the answers come through the
// seam.
#include <windows.h>
#include <gtest/gtest.h>

#include "faulty_file_ops.h"
#include "platform/file_system.h"
#include "platform/portable/exceptions.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::FaultyFileOps;
using testing::FileCall;
using testing::ReadFile;

TEST(FileSystemWin32, EachAnswerOfTheRename) {
  struct Case {
    const char* what;
    DWORD code;
    int times;            // renames that fail in a row
    bool takes_original;  // the platform removed the target before failing
    int pauses;           // waits before the writer gives up or succeeds
    bool replaced;
  };
  const Case kCases[] = {
      {"a sharing violation, briefly", ERROR_SHARING_VIOLATION, 3, false, 3, true},
      {"access denied, briefly", ERROR_ACCESS_DENIED, 199, false, 199, true},
      {"a lock violation, briefly", ERROR_LOCK_VIOLATION, 1, false, 1, true},
      {"a sharing violation that lasts", ERROR_SHARING_VIOLATION, 1000, false, 199, false},
      {"a full disk", ERROR_DISK_FULL, 1, false, 0, false},
      {"the original gone, the replacement not moved", ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1, true, 0, true},
      {"the original gone, the replacement never moved", ERROR_UNABLE_TO_MOVE_REPLACEMENT, 2, true, 0, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    std::string path = dir.Path("t.ini");
    testing::WriteFile(path, "old");
    FaultyFileOps ops;
    ops.Fail(FileCall::kRename, 1, static_cast<int>(c.code), c.times, [&] {
      if (c.takes_original) std::filesystem::remove(testing::FsPath(path));
    });
    bool replaced = true;
    try {
      ReplaceFileAtomically(path, "new", ops);
    } catch (const EOSError& error) {
      replaced = false;
      EXPECT_EQ(error.ErrorCode(), static_cast<int>(c.code));
    }
    EXPECT_EQ(replaced, c.replaced);
    EXPECT_EQ(ops.Calls(FileCall::kPause), c.pauses);
    std::string temp = TemporaryFileFor(path);
    if (c.takes_original && !replaced) {
      // The temporary file is the only copy of the text: it stays.
      EXPECT_EQ(ReadFile(temp), "new");
    } else {
      EXPECT_EQ(ReadFile(path), replaced ? "new" : "old");
      EXPECT_FALSE(std::filesystem::exists(testing::FsPath(temp)));
    }
  }
}

}  // namespace
}  // namespace tarn
