// The Win32 registry back end against values that other programs store
// with the platform's own calls.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/portable/exceptions.h"
#include "platform/registry.h"
#include "expect_error.h"
#include "test_support.h"

namespace tarn {
namespace {

const char kKey[] = "SOFTWARE\\KESSLAN\\ORVIK\\TYPES";

void SetRaw(const char* name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
  ASSERT_EQ(::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
            0);
  ::RegCloseKey(key);
}

TEST(RegistryWin32, StringTypesReadAsTextAndOthersAreRefused) {
  testing::Sandbox sandbox;
  SetRaw("Sz", REG_SZ, std::string("text\0", 5));
  SetRaw("NoNul", REG_SZ, "unterminated");
  SetRaw("Expand", REG_EXPAND_SZ, std::string("%PATH%\0", 7));
  SetRaw("Dword", REG_DWORD, std::string("\x05\0\0\0", 4));
  SetRaw("Qword", REG_QWORD, std::string(8, '\0'));
  SetRaw("Binary", REG_BINARY, "\x01\x02");
  SetRaw("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  TRegistry reg(RegAccess::kRead);
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  EXPECT_EQ(reg.ReadString("Sz"), "text");
  EXPECT_EQ(reg.ReadString("NoNul"), "unterminated");
  EXPECT_EQ(reg.ReadString("Expand"), "%PATH%");
  for (const char* name : {"Dword", "Qword", "Binary", "Multi"}) {
    EXPECT_THROW_MSG(reg.ReadString(name), ERegistryException, std::string("Invalid data type for '") + name + "'");
  }
}

TEST(RegistryWin32, WrittenValuesHaveThePlatformsTypes) {
  testing::Sandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  reg.WriteString("S", "a\xE7\xE3o");
  reg.WriteInteger("D", 0xDEADBEEF);
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), 0);
  char text[16] = {};
  DWORD type = 0, size = sizeof text;
  EXPECT_EQ(::RegQueryValueExA(key, "S", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), 0);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(text, size), std::string("a\xE7\xE3o\0", 5));
  DWORD number = 0;
  size = sizeof number;
  EXPECT_EQ(::RegQueryValueExA(key, "D", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size), 0);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number, 0xDEADBEEFu);
  ::RegCloseKey(key);
}

}  // namespace
}  // namespace tarn
