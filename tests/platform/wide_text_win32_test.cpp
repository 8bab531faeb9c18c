// The UTF-8 paths of the program against the UTF-16 of the wide functions.
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(WideText, NamesOfEveryScriptTravelBothWaysUnchanged) {
  struct Case {
    const char* utf8;
    std::wstring wide;
  };
  for (const Case& c : {Case{"C:\\plain\\t.ini", L"C:\\plain\\t.ini"},
                        Case{"C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA", L"C:\\\x0141\x00F3" L"d\x017A"},
                        Case{"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", L"\x03A9\x03BC\x03AD\x03B3\x03B1"},
                        Case{"\xE8\xA8\xAD\xE5\xAE\x9A", L"\x8A2D\x5B9A"},
                        Case{"\xF0\x9F\x93\x81", L"\xD83D\xDCC1"},      // outside the basic plane: a pair
                        Case{"a\xED\xA0\xBD" "b", L"a\xD83D" L"b"},     // a lone high surrogate
                        Case{"\xED\xB3\x81", L"\xDCC1"}}) {             // a lone low surrogate
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8) << c.utf8;
  }
}

TEST(WideText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xE9z"), L"a\xFFFDz");                  // a Windows-1252 byte
  EXPECT_EQ(Utf8ToWide("\xC3"), L"\xFFFD");                      // cut short
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\xFFFD\xFFFD");            // an overlong '/' is not a separator
}

}  // namespace
}  // namespace tarn
