#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/portable/utf8_text.h"

namespace tarn {
namespace {

TEST(CodePage, EveryByteRoundTripsThroughUtf16) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::u16string wide = AnsiToWide(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(WideToAnsi(wide), all);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(CodePage, HighControlRangeAndUndefinedBytes) {
  EXPECT_EQ(AnsiCharToWide(0x80), u'\u20AC');
  EXPECT_EQ(AnsiCharToWide(0x9F), u'\u0178');
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(AnsiCharToWide(undefined), undefined);
  EXPECT_EQ(AnsiCharToWide(0xE7), u'ç');
}

// A character that the code page lacks narrows to its best fit, where the
// platform has one (the table's first and last rows among them), else to
// '?'; each half of a surrogate pair is narrowed on its own.
TEST(CodePage, CharactersOutsideTheCodePageTakeTheirBestFitOrQuestionMarks) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"\u0100", "A"},        {u"\u0141\u0131", "Li"}, {u"\u0110", "\xD0"}, {u"\u2032\u221E", "'8"},
      {u"\uFF21\uFF5E", "A~"}, {u"a\u4E2Db", "a?b"},   {u"\U0001F600", "??"}, {u"\xD83Dx", "?x"},
      {u"\u20AC", "\x80"},     {u"?", "?"},
  };
  for (const auto& [wide, narrow] : cases) EXPECT_EQ(WideToAnsi(wide), narrow);
}

TEST(CodePage, Utf8EdgeKeepsInvalidBytes) {
  EXPECT_EQ(AnsiToUtf8("Configura\xE7\xF5" "es"), "Configurações");
  EXPECT_EQ(Utf8ToAnsi("Configurações"), "Configura\xE7\xF5" "es");
  EXPECT_EQ(Utf8ToAnsi("a\xE7z"), "a\xE7z");  // a lone 1252 byte stays itself
}

}  // namespace
}  // namespace tarn
