#include "platform/code_page.h"

#include <gtest/gtest.h>

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

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(WideToAnsi(u"a\u4E2Db"), "a?b");
  EXPECT_EQ(WideToAnsi(u"\U0001F600"), "?");
  EXPECT_EQ(WideToAnsi(u"\u20AC"), "\x80");
}

TEST(CodePage, Utf8EdgeKeepsInvalidBytes) {
  EXPECT_EQ(AnsiToUtf8("Configura\xE7\xF5" "es"), "Configurações");
  EXPECT_EQ(Utf8ToAnsi("Configurações"), "Configura\xE7\xF5" "es");
  EXPECT_EQ(Utf8ToAnsi("a\xE7z"), "a\xE7z");  // a lone 1252 byte stays itself
}

}  // namespace
}  // namespace tarn
