// The whole-file writers against every call that can fail: each call that a
// replacement or an in-place rewrite makes is failed in turn, and the file
// must then hold its old text or its new one, the failure must be
// reported, and nothing else may be left in the folder. Writes are cut
// short, so that a failure can also come between two parts of the text.
#include <gtest/gtest.h>

#include <functional>

#include "faulty_file_ops.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/profile_file.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::FaultyFileOps;
using testing::FileCall;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kOld = "[s]\r\nk=old\r\n";
const std::string kNew = "[s]\r\nk=new, and longer than the old text\r\n";
const std::string kShort = "[s]\r\nk=\r\n";

struct Writer {
  const char* name;
  bool existing;  // whether the file is there before
  bool atomic;    // a failure leaves the old text, never the new one
  std::function<void(const std::string& path, FileOps& ops)> write;
};

const Writer kWriters[] = {
    {"a replacement", true, true, [](auto& path, auto& ops) { ReplaceFileAtomically(path, kNew, ops); }},
    {"a new file", false, true, [](auto& path, auto& ops) { ReplaceFileAtomically(path, kNew, ops); }},
    {"a shorter replacement", true, true, [](auto& path, auto& ops) { ReplaceFileAtomically(path, kShort, ops); }},
    {"an in-place rewrite", true, false, [](auto& path, auto& ops) { OverwriteFileInPlace(path, kNew, ops); }},
    {"a shorter in-place rewrite", true, false, [](auto& path, auto& ops) { OverwriteFileInPlace(path, kShort, ops); }},
};

// A fresh folder holding what the writer starts from.
struct Folder {
  explicit Folder(const Writer& writer) {
    if (writer.existing) WriteFile(path, kOld);
  }
  TempDir dir;
  std::string path = dir.Path("t.ini");
};

TEST(FileFaults, EveryFailingCallLeavesTheOldTextOrTheNewOneAndNothingElse) {
  for (const Writer& writer : kWriters) {
    FaultyFileOps counter;
    counter.LimitWrites(16);
    writer.write(Folder(writer).path, counter);
    for (int c = 0; c < static_cast<int>(FileCall::kCount); ++c) {
      auto call = static_cast<FileCall>(c);
      for (int nth = 1; nth <= counter.Calls(call); ++nth) {
        SCOPED_TRACE(std::string(writer.name) + ", failing " + FileCallName(call) + " #" + std::to_string(nth));
        Folder folder(writer);
        const std::string& path = folder.path;
        FaultyFileOps ops;
        ops.LimitWrites(16);
        ops.Fail(call, nth, InvalidArgumentCode());
        bool failed = false;
        try {
          writer.write(path, ops);
        } catch (const EOSError& error) {
          failed = true;
          EXPECT_EQ(error.ErrorCode(), InvalidArgumentCode());
        }
        // Only the flush of the folder, after the rename, may fail unseen.
        EXPECT_EQ(failed, call != FileCall::kSyncFolder);
        std::string after = ReadFile(path);
        if (failed && writer.atomic) {
          EXPECT_EQ(after, writer.existing ? kOld : "");
          EXPECT_EQ(std::filesystem::exists(testing::FsPath(path)), writer.existing);
        } else if (!failed) {
          EXPECT_NE(after, kOld);
        } else {
          EXPECT_TRUE(after == kOld || after == kNew || after == kShort) << after;
        }
        EXPECT_LE(testing::FolderEntries(folder.dir.Dir()).size(), 1u) << "something was left beside the file";
      }
    }
  }
}

TEST(FileFaults, ShortWritesStillWriteEverything) {
  for (const Writer& writer : kWriters) {
    SCOPED_TRACE(writer.name);
    Folder folder(writer);
    FaultyFileOps ops;
    ops.LimitWrites(2);
    writer.write(folder.path, ops);
    EXPECT_GE(ops.Calls(FileCall::kWrite), 4);
    EXPECT_TRUE(ReadFile(folder.path) == kNew || ReadFile(folder.path) == kShort);
  }
}

// A failure below the profile writer reaches its caller as the profile
// writer's own error, and the file is as it was.
TEST(FileFaults, AProfileWriteThatFailsBelowReportsUnableToWrite) {
  TempDir dir;
  std::string path = dir.Path("t.ini");
  WriteFile(path, kOld);
  FaultyFileOps ops;
  ops.Fail(FileCall::kSync, 1, InvalidArgumentCode());
  const ProfileEntry entries[] = {{"s", "k", "new"}};
  EXPECT_THROW(WriteProfileValues(path, entries, ops), EIniFileException);
  EXPECT_EQ(ReadFile(path), kOld);
  EXPECT_EQ(testing::FolderEntries(dir.Dir()).size(), 1u);
}

}  // namespace
}  // namespace tarn
