#include "platform/portable/int_text.h"

#include <gtest/gtest.h>

#include "expect_error.h"

#include "platform/portable/exceptions.h"

namespace tarn {
namespace {

TEST(IntegerText, DecimalWithBlanksAndSign) {
  EXPECT_EQ(TryStrToInt("42"), 42);
  EXPECT_EQ(TryStrToInt("   42"), 42);
  EXPECT_EQ(TryStrToInt("-42"), -42);
  EXPECT_EQ(TryStrToInt("+42"), 42);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
}

TEST(IntegerText, HexadecimalPrefixesGiveThe32BitPattern) {
  EXPECT_EQ(TryStrToInt("0x1780"), 6016);
  EXPECT_EQ(TryStrToInt("$177F"), 6015);
  EXPECT_EQ(TryStrToInt("x10"), 16);
  EXPECT_EQ(TryStrToInt("X10"), 16);
  EXPECT_EQ(TryStrToInt("0X10"), 16);
  EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryStrToInt("$80000000"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
  EXPECT_EQ(TryStrToInt(" $ff"), 255);
}

TEST(IntegerText, AnythingElseIsNoValue) {
  for (const char* text : {"", " ", "-", "+", "$", "0x", "60x5", "12 ", "1.5", "abc", "true", "2147483648",
                           "-2147483649", "$100000000", "1e3", "--1", "\t1", "0x-1"}) {
    EXPECT_EQ(TryStrToInt(text), std::nullopt) << "'" << text << "'";
  }
}

TEST(IntegerText, DefaultsAndStrictConversion) {
  EXPECT_EQ(StrToIntDef("abc", 7), 7);
  EXPECT_EQ(StrToIntDef("0", 7), 0);
  EXPECT_EQ(StrToInt("12"), 12);
  EXPECT_THROW_MSG(StrToInt("12a"), EConvertError, "'12a' is not a valid integer value");
}

TEST(BooleanText, NonZeroIsTrueAndOtherTextGivesTheDefault) {
  EXPECT_TRUE(StrToBoolDef("2", false));
  EXPECT_TRUE(StrToBoolDef("-1", false));
  EXPECT_FALSE(StrToBoolDef("0", true));
  EXPECT_FALSE(StrToBoolDef("true", false));
  EXPECT_TRUE(StrToBoolDef("yes", true));
  EXPECT_EQ(BoolToStr(true), "1");
  EXPECT_EQ(BoolToStr(false), "0");
}

}  // namespace
}  // namespace tarn
