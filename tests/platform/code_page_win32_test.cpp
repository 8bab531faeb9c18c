// The machine under test: the program's texts are Windows-1252.
#include <gtest/gtest.h>
#include <windows.h>

namespace tarn {
namespace {

// The code-page tests check the conversions of Windows-1252; a machine (or a
// Wine prefix) with another ANSI code page would test other conversions.
TEST(CodePageWin32, TheAnsiCodePageIsWindows1252) { EXPECT_EQ(::GetACP(), 1252u); }

}  // namespace
}  // namespace tarn
