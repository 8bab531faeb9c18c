#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(FileSystem, ExecutablePathAndDirectory) {
  std::string exe = ExePath();
  EXPECT_EQ(ExtractFileName(exe), "platform_test");
  EXPECT_EQ(ExeDir(), ExtractFilePath(exe));
  EXPECT_EQ(ExeDir().back(), '/');
  EXPECT_EQ(ExtractFilePath("/"), "/");
  EXPECT_EQ(ExtractFileName("name"), "name");
}

TEST(FileSystem, FilesDirectoriesAndCreation) {
  TempDir dir;
  WriteFile(dir.Path("file"), "x");
  EXPECT_TRUE(FileExists(dir.Path("file")));
  EXPECT_FALSE(DirectoryExists(dir.Path("file")));
  EXPECT_FALSE(FileExists(dir.Dir()));
  EXPECT_TRUE(DirectoryExists(dir.Dir()));
  EXPECT_FALSE(FileExists(dir.Path("missing")));
  EXPECT_TRUE(CreateDir(dir.Path("sub")));
  EXPECT_FALSE(CreateDir(dir.Path("sub")));
  EXPECT_FALSE(CreateDir(dir.Path("file")));
}

TEST(FileSystem, AtomicReplaceKeepsPermissions) {
  TempDir dir;
  std::string path = dir.Path("f");
  WriteFile(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ReplaceFileAtomically(path, "new");
  EXPECT_EQ(testing::ReadFile(path), "new");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(ReadFileBytes(dir.Path("missing")), std::nullopt);
}

// Readers that cache a file by its identity see every replacement, even one
// within the clock's resolution that reuses the old file's number.
TEST(FileSystem, AReplacementIsNewerThanTheFileItReplaces) {
  TempDir dir;
  std::string path = dir.Path("f");
  WriteFile(path, "old");
  auto later = std::filesystem::file_time_type::clock::now() + std::chrono::hours(1);
  std::filesystem::last_write_time(path, later);
  FileIdentity before = *IdentifyFile(path);
  FileIdentity after = ReplaceFileAtomically(path, "new");
  EXPECT_GT(after.modified_ns, before.modified_ns);
  EXPECT_EQ(IdentifyFile(path), after);
}

TEST(DynamicLibrary, MissingLibrariesAndEntriesAreNull) {
  EXPECT_EQ(LoadLibraryByName("no-such-library.dll"), nullptr);
  LibraryHandle zlib = LoadLibraryByName("z.DLL");  // the platform's suffix is dropped
  ASSERT_NE(zlib, nullptr);
  EXPECT_EQ(LoadLibraryByName("z"), zlib);
  EXPECT_NE(GetEntryPoint(zlib, "crc32"), nullptr);
  EXPECT_EQ(GetEntryPoint(zlib, "NoSuchEntry"), nullptr);
  EXPECT_EQ(GetEntryPoint(nullptr, "crc32"), nullptr);
}

}  // namespace
}  // namespace tarn
