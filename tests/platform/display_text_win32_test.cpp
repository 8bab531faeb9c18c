// Paths shown to the user on a machine whose ANSI code page is not
// Windows-1252: run with Central European Windows-1250 as the ANSI code page,
// which must not matter, as paths are UTF-8.
#include <windows.h>
#include <gtest/gtest.h>

#include "platform/display_text.h"

namespace tarn {
namespace {

TEST(DisplayTextWin32Test, APathIsShownInWindows1252WhateverTheAnsiCodePage) {
  ASSERT_EQ(::GetACP(), 1250u) << "the test's environment sets the code page";
  // a-ogonek, which 1252 lacks; e-acute, which it has; Greek omega.
  EXPECT_EQ(DisplayPath("C:\\Pr\xC4\x85" "d\\caf\xC3\xA9\\\xCE\xA9\\"), "C:\\Pr?d\\caf\xE9\\?\\");
  EXPECT_EQ(DisplayPath(""), "");
}

}  // namespace
}  // namespace tarn
