#include "platform/portable/variant.h"

#include <gtest/gtest.h>

#include <memory_resource>
#include <utility>

namespace tarn {
namespace {

TEST(Variant, TypeCodes) {
  EXPECT_EQ(Variant().Type(), 0);
  EXPECT_EQ(Variant::Null().Type(), 1);
  EXPECT_EQ(Variant::Smallint(1).Type(), 2);
  EXPECT_EQ(Variant::Integer(1).Type(), 3);
  EXPECT_EQ(Variant::Single(1).Type(), 4);
  EXPECT_EQ(Variant::Double(1).Type(), 5);
  EXPECT_EQ(Variant::Currency(1).Type(), 6);
  EXPECT_EQ(Variant::Date(1).Type(), 7);
  EXPECT_EQ(Variant::OleStr(u"a").Type(), 8);
  EXPECT_EQ(Variant::Interface(varDispatch, nullptr).Type(), 9);
  EXPECT_EQ(Variant::Error(1).Type(), 10);
  EXPECT_EQ(Variant::Boolean(true).Type(), 11);
  EXPECT_EQ(Variant::Interface(varUnknown, nullptr).Type(), 13);
  EXPECT_EQ(Variant::ShortInt(1).Type(), 16);
  EXPECT_EQ(Variant::Byte(1).Type(), 17);
  EXPECT_EQ(Variant::Word(1).Type(), 18);
  EXPECT_EQ(Variant::LongWord(1).Type(), 19);
  EXPECT_EQ(Variant::Int64(1).Type(), 20);
  EXPECT_EQ(Variant::StrArg(u"a").Type(), 0x48);
  EXPECT_EQ(Variant::String("a").Type(), 0x100);
  EXPECT_EQ(Variant::Array(varInteger, {}).Type(), 0x2003);
  EXPECT_EQ(Variant::ByRef(nullptr).Type(), 0x4000);
}

TEST(Variant, Payloads) {
  EXPECT_EQ(Variant::Smallint(-2).AsInt64(), -2);
  EXPECT_EQ(Variant::LongWord(4000000000u).AsInt64(), 4000000000);
  EXPECT_EQ(Variant::Currency(-15000).AsInt64(), -15000);  // -1.5 in ten-thousandths
  EXPECT_EQ(Variant::Single(0.25f).AsSingle(), 0.25f);
  EXPECT_EQ(Variant::Int64(INT64_MIN).AsInt64(), INT64_MIN);
  EXPECT_EQ(Variant::String("caf\xE9").AsNarrow(), "caf\xE9");
  EXPECT_EQ(Variant::OleStr(std::u16string(u"a\0b", 3)).AsWide(), std::u16string_view(u"a\0b", 3));
  EXPECT_EQ(Variant::OleStr(u"").AsWide(), u"");
  EXPECT_EQ(Variant::Integer(5).AsWide(), u"");
}

TEST(Variant, CopiesOwnTheirStringsAndArrays) {
  Variant text = Variant::OleStr(u"hello");
  Variant copy = text;
  text = Variant::Integer(1);  // the copy keeps its own text
  EXPECT_EQ(copy.AsWide(), u"hello");
  Variant array = Variant::Array(static_cast<VarType>(12), {Variant::String("x"), Variant::Integer(2)});
  Variant array_copy = array;
  array = Variant();
  ASSERT_EQ(array_copy.AsArray().size(), 2u);
  EXPECT_EQ(array_copy.AsArray()[0].AsNarrow(), "x");
  Variant moved = std::move(array_copy);
  EXPECT_TRUE(array_copy.IsEmpty());
  EXPECT_EQ(moved.AsArray()[1].AsInt64(), 2);
}

// Text kept in memory of the caller's is never freed by the variant; a copy
// owns text of its own, which outlives that memory.
TEST(Variant, BorrowedTextIsCopiedWhenTheVariantIs) {
  Variant copy;
  Variant moved;
  {
    std::pmr::monotonic_buffer_resource memory;
    Variant text = Variant::OleStrIn(u"borrowed text", memory);
    EXPECT_EQ(text.Type(), varOleStr);
    EXPECT_EQ(text.AsWide(), u"borrowed text");
    copy = text;
    moved = std::move(text);
    EXPECT_EQ(moved.AsWide(), u"borrowed text");
    moved = Variant::Integer(1);  // drops the borrowed text without freeing it
    EXPECT_EQ(Variant::OleStrIn(u"", memory).AsWide(), u"");
  }
  EXPECT_EQ(copy.AsWide(), u"borrowed text");
}

TEST(Variant, ReferencesAreNotOwned) {
  TObject object;
  Variant ref = Variant::ByRef(&object);
  Variant copy = ref;
  EXPECT_EQ(copy.AsObject(), &object);
}

}  // namespace
}  // namespace tarn
