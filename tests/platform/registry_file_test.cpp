// The POSIX hive: one file in the Registry Editor export format.
#include "platform/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/display_text.h"
#include "platform/portable/exceptions.h"
#include "platform/posix/registry_format.h"
#include "expect_error.h"
#include "test_support.h"
#include "unprivileged.h"

namespace tarn {
namespace {

using testing::ReadFile;
using testing::Sandbox;
using testing::WriteFile;

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

TEST(RegistryFile, HiveLivesInTheUsersConfigFolder) {
  Sandbox sandbox;
  EXPECT_EQ(RegistryFilePath(), sandbox.RegistryFile());
}

TEST(RegistryFile, ValuesAreStoredInTheExportFormat) {
  Sandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\KESSLAN\\ORVIK\\CLIENT", true));
  reg.WriteString("TIMEOUT", "120000");
  reg.WriteString("Path", "C:\\Apps \"quoted\" a\xE7\xE3o");
  reg.WriteInteger("Count", 30);
  EXPECT_EQ(ReadFile(sandbox.RegistryFile()),
            std::string(kHeader) +
                "[HKEY_CURRENT_USER\\SOFTWARE]\r\n\r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN]\r\n\r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK]\r\n\r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\CLIENT]\r\n"
                "\"TIMEOUT\"=\"120000\"\r\n"
                "\"Path\"=\"C:\\\\Apps \\\"quoted\\\" ação\"\r\n"
                "\"Count\"=dword:0000001e\r\n\r\n");

}

TEST(RegistryFile, OnlyACreatedKeyWritesTheFile) {
  Sandbox sandbox;
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("A\\B", false));
  EXPECT_FALSE(std::filesystem::exists(sandbox.RegistryFile()));
  EXPECT_TRUE(reg.OpenKey("A\\B", true));
  EXPECT_TRUE(std::filesystem::exists(sandbox.RegistryFile()));
}

TEST(RegistryFile, ReadsTheRegistryEditorsOwnUtf16Export) {
  Sandbox sandbox;
  std::u16string text = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"V\"=\"ação\"\r\n"
                        u"\"E\"=hex(2):25,00,41,00,25,00,00,00\r\n\"B\"=hex:01,02,\\\r\n  03\r\n";
  std::string bytes;
  for (char16_t c : text) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>(c >> 8);
  std::filesystem::create_directories(sandbox.Path("config/tarn"));
  WriteFile(sandbox.RegistryFile(), bytes);
  TRegistry reg(RegAccess::kRead);
  ASSERT_TRUE(reg.OpenKeyReadOnly("K"));
  EXPECT_EQ(reg.ReadString("V"), "a\xE7\xE3o");
  EXPECT_EQ(reg.ReadString("E"), "%A%");
  EXPECT_THROW(reg.ReadString("B"), ERegistryException);
}

TEST(RegistryFile, ACorruptFileNamesTheLineAndIsNeverOverwritten) {
  Sandbox sandbox;
  std::string corrupt = std::string(kHeader) + "[HKEY_CURRENT_USER\\K]\r\n\"V\"=\"1\"\r\n\"W\"=bogus\r\n";
  std::filesystem::create_directories(sandbox.Path("config/tarn"));
  WriteFile(sandbox.RegistryFile(), corrupt);
  TRegistry reg;
  try {
    reg.OpenKey("K", true);
    FAIL() << "no error raised";
  } catch (const ERegistryException& e) {
    EXPECT_NE(e.Message().find(DisplayPath(sandbox.RegistryFile())), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("line 5"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(reg.OpenKey("New", true), ERegistryException);
  EXPECT_EQ(ReadFile(sandbox.RegistryFile()), corrupt);
}

TEST(RegistryFile, AFileThatCannotBeReadIsNamedWithTheSystemsReason) {
  Sandbox sandbox;
  std::filesystem::create_directories(sandbox.RegistryFile());
  const std::string message = "The registry file " + DisplayPath(sandbox.RegistryFile()) + " cannot be read: Is a directory";
  EXPECT_THROW_MSG(TRegistry().KeyExists("K"), ERegistryException, message);
  EXPECT_THROW_MSG(TRegistry().OpenKey("K", true), ERegistryException, message);
  EXPECT_TRUE(std::filesystem::is_directory(sandbox.RegistryFile()));
}

TEST(RegistryFile, KeysBeyondThePlatformsLimitsAreRefused) {
  Sandbox sandbox;
  std::filesystem::create_directories(sandbox.Path("config/tarn"));
  std::string deep = "HKEY_CURRENT_USER";
  for (int i = 0; i < 513; ++i) deep += "\\k";
  WriteFile(sandbox.RegistryFile(), std::string(kHeader) + "[" + deep + "]\r\n");
  EXPECT_THROW(TRegistry().KeyExists("k"), ERegistryException);
  WriteFile(sandbox.RegistryFile(), std::string(kHeader) + "[HKEY_CURRENT_USER\\" + std::string(256, 'n') + "]\r\n");
  EXPECT_THROW(TRegistry().KeyExists("k"), ERegistryException);
}

TEST(RegistryFile, AHiveThatCannotBeWrittenLeavesKeysUncreated) {
  Sandbox sandbox;
  WriteFile(sandbox.Path("plain"), "not a folder");
  testing::ScopedEnv config("XDG_CONFIG_HOME", sandbox.Path("plain"));
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("SOFTWARE\\KESSLAN\\ORVIK", true));
  EXPECT_EQ(reg.ReadString("anything"), "");
}

TEST(RegistryFile, KeysAndValuesAreFoundWhateverTheHivesShape) {
  Sandbox sandbox;
  std::string text = std::string(kHeader) + "[HKEY_CURRENT_USER\\Many]\r\n";
  for (int i = 0; i < 3000; ++i) text += "\"v" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\r\n";
  text += "\"V0\"=\"again\"\r\n\r\n";
  for (int i = 0; i < 1000; ++i) text += "[HKEY_CURRENT_USER\\Wide\\s" + std::to_string(1000 + i) + "]\r\n\r\n";
  std::string deep;
  for (int i = 0; i < 493; ++i) deep += "\\K" + std::to_string(i);
  text += "[HKEY_CURRENT_USER" + deep + "]\r\n\"v\"=\"deep\"\r\n";
  std::filesystem::create_directories(sandbox.Path("config/tarn"));
  WriteFile(sandbox.RegistryFile(), text);

  TRegistry reg(RegAccess::kRead);
  ASSERT_TRUE(reg.OpenKeyReadOnly("many"));
  EXPECT_EQ(reg.ReadString("v0"), "again");
  EXPECT_EQ(reg.ReadString("V2999"), "2999");
  EXPECT_FALSE(reg.ValueExists("v3000"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("Wide"));
  std::vector<std::string> names = reg.GetKeyNames();
  ASSERT_EQ(names.size(), 1000u);
  EXPECT_EQ(names.front(), "s1000");
  EXPECT_EQ(names.back(), "s1999");
  for (char& c : deep) c = static_cast<char>(std::tolower(c));
  ASSERT_TRUE(reg.OpenKeyReadOnly(deep));
  EXPECT_EQ(reg.ReadString("V"), "deep");
}

TEST(RegistryFile, AFileIsParsedAgainOnlyWhenItChanges) {
  Sandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("V", "1");
  struct stat before {};
  ASSERT_EQ(::stat(sandbox.RegistryFile().c_str(), &before), 0);
  // Rewritten in place with the same size, its modification time put back:
  // nothing shows the change, and the hive parsed before stands.
  std::string text = ReadFile(sandbox.RegistryFile());
  text.replace(text.find("\"1\""), 3, "\"2\"");
  WriteFile(sandbox.RegistryFile(), text);
  timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, sandbox.RegistryFile().c_str(), times, 0), 0);
  EXPECT_EQ(reg.ReadString("V"), "1");
  times[1].tv_sec += 1;
  ASSERT_EQ(::utimensat(AT_FDCWD, sandbox.RegistryFile().c_str(), times, 0), 0);
  EXPECT_EQ(reg.ReadString("V"), "2");
}

// Parents that a file leaves implied stay so when the hive is written back,
// so that the text grows only by what is added.
TEST(RegistryFormat, AHiveWritesBackAsItsFileListedIt) {
  std::string deep = "[HKEY_CURRENT_USER";
  for (int i = 0; i < 20; ++i) deep += "\\k" + std::to_string(i);
  for (std::string text : {std::string(kHeader) + deep + "]\r\n\"v\"=\"1\"\r\n\r\n",
                           std::string(kHeader) + "[HKEY_CURRENT_USER\\A\\B]\r\n\r\n[HKEY_CURRENT_USER\\A\\B\\C]\r\n"
                                                  "\"x\"=dword:00000001\r\n\r\n[HKEY_CURRENT_USER\\A\\D]\r\n\r\n"}) {
    EXPECT_EQ(FormatRegistryText(ParseRegistryText(text, "test.reg")), text);
  }
}

TEST(RegistryFile, TwoProcessesWritingAtOnceLoseNothing) {
  Sandbox sandbox;
  constexpr int kWrites = 40;
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = testing::StartChild([child] {
      TRegistry reg;
      if (!reg.OpenKey(child == 0 ? "Shared\\A" : "Shared\\B", true)) return 1;
      for (int i = 0; i < kWrites; ++i) reg.WriteString("v" + std::to_string(i), std::to_string(child * 1000 + i));
      return 0;
    });
  }
  for (pid_t child : children) ASSERT_EQ(testing::WaitForChild(child), 0);
  for (int child = 0; child < 2; ++child) {
    TRegistry reg(RegAccess::kRead);
    ASSERT_TRUE(reg.OpenKeyReadOnly(child == 0 ? "Shared\\A" : "Shared\\B"));
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(reg.ReadString("v" + std::to_string(i)), std::to_string(child * 1000 + i));
    }
  }
}

}  // namespace
}  // namespace tarn
