// The POSIX hive: one file in the Registry Editor export format.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/exceptions.h"
#include "expect_error.h"
#include "test_support.h"

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
    EXPECT_NE(e.Message().find(sandbox.RegistryFile()), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("line 5"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(reg.OpenKey("New", true), ERegistryException);
  EXPECT_EQ(ReadFile(sandbox.RegistryFile()), corrupt);
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

TEST(RegistryFile, TwoProcessesWritingAtOnceLoseNothing) {
  Sandbox sandbox;
  constexpr int kWrites = 40;
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      TRegistry reg;
      if (!reg.OpenKey(child == 0 ? "Shared\\A" : "Shared\\B", true)) _exit(1);
      for (int i = 0; i < kWrites; ++i) reg.WriteString("v" + std::to_string(i), std::to_string(child * 1000 + i));
      _exit(0);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
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
