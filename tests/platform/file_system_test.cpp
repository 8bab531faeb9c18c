#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "support/program_run.h"
#include "test_support.h"

namespace tarn {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(FileSystem, ExecutablePathAndDirectory) {
  std::string exe = ExePath();
  EXPECT_EQ(ExtractFileName(exe), "platform_test" + testing::kProgramSuffix);
  EXPECT_EQ(ExeDir(), ExtractFilePath(exe));
  EXPECT_EQ(ExeDir().back(), kPathDelim);
  EXPECT_EQ(ExtractFilePath(testing::kSep), testing::kSep);
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

TEST(FileSystem, AtomicReplace) {
  TempDir dir;
  std::string path = dir.Path("f");
  ReplaceFileAtomically(path, "new file");
  EXPECT_EQ(testing::ReadFile(path), "new file");
  ReplaceFileAtomically(path, "replaced");
  EXPECT_EQ(testing::ReadFile(path), "replaced");
  EXPECT_EQ(ReadFileBytes(path), "replaced");
  EXPECT_EQ(ReadFileBytes(dir.Path("missing")), std::nullopt);
  EXPECT_EQ(testing::FolderEntries(dir.Dir()), std::vector<std::string>{"f"}) << "a temporary file was left behind";
}

// Readers that cache a file by its identity see every replacement, even one
// within the clock's resolution that reuses the old file's number.
TEST(FileSystem, AReplacementIsNewerThanTheFileItReplaces) {
  TempDir dir;
  std::string path = dir.Path("f");
  WriteFile(path, "old");
  auto later = std::filesystem::file_time_type::clock::now() + std::chrono::hours(1);
  std::filesystem::last_write_time(testing::FsPath(path), later);
  FileIdentity before = *IdentifyFile(path);
  FileIdentity after = ReplaceFileAtomically(path, "new");
  EXPECT_GT(after.modified_ns, before.modified_ns);
  EXPECT_EQ(IdentifyFile(path), after);
}

TEST(DynamicLibrary, MissingLibrariesAndEntriesAreNull) {
  EXPECT_EQ(LoadLibraryByName("no-such-library.dll"), nullptr);
  // The service library's test double lies beside the test programs.
  LibraryHandle library = LoadLibraryByName("quelmont-double.DLL");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(LoadLibraryByName("quelmont-double"), library);
  EXPECT_NE(GetEntryPoint(library, "ServiceIsRunning"), nullptr);
  EXPECT_EQ(GetEntryPoint(library, "NoSuchEntry"), nullptr);
  EXPECT_EQ(GetEntryPoint(nullptr, "ServiceIsRunning"), nullptr);
}

}  // namespace
}  // namespace tarn
