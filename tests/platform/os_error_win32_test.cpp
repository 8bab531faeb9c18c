// The platform's error codes and their texts.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/portable/exceptions.h"
#include "platform/file_system.h"
#include "platform/os_error.h"

namespace tarn {
namespace {

TEST(OSErrorWin32, TheTextIsTheSystemsOwnWithoutItsLineBreak) {
  char buffer[512] = {};
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  ERROR_FILE_NOT_FOUND, 0, buffer, sizeof buffer, nullptr);
  ASSERT_GT(length, 2u);
  std::string system(buffer, length);
  EXPECT_TRUE(system.ends_with("\r\n") || system.ends_with("\n")) << system;
  std::string text = OSErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(system.starts_with(text));
  EXPECT_FALSE(text.ends_with("\n"));
  try {
    ::SetLastError(ERROR_ACCESS_DENIED);
    RaiseLastOSError();
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), 5);
    EXPECT_EQ(error.Message(), "System Error.  Code: 5.\r\n" + OSErrorText(ERROR_ACCESS_DENIED));
  }
  // A code that no table of the system has a text for still gets a reason.
  EXPECT_EQ(OSErrorText(0x2FFFFFFF), "error 805306367");
}

}  // namespace
}  // namespace tarn
