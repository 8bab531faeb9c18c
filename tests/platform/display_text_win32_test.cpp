// Paths shown to the user on a machine whose ANSI code page is not
// Windows-1252: run with Central European Windows-1250 as the ANSI code page.
#include <windows.h>
#include <gtest/gtest.h>

#include "platform/display_text.h"

namespace tarn {
namespace {

TEST(DisplayTextWin32Test, APathIsConvertedFromTheAnsiCodePage) {
  ASSERT_EQ(::GetACP(), 1250u) << "the test's environment sets the code page";
  // 0xB9 is a-ogonek in 1250, which 1252 lacks; e-acute is 0xE9 in both.
  EXPECT_EQ(DisplayPath("C:\\Pr\xB9" "d\\caf\xE9\\"), "C:\\Pr?d\\caf\xE9\\");
  EXPECT_EQ(DisplayPath(""), "");
}

}  // namespace
}  // namespace tarn
