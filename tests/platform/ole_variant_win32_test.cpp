// Variants handed in and out as the platform's VARIANT.
#include "platform/ole_variant.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include "platform/portable/exceptions.h"

namespace tarn {
namespace {

struct OleVariant {
  VARIANT value;
  OleVariant() { ::VariantInit(&value); }
  ~OleVariant() { ::VariantClear(&value); }
};

bool SamePayload(const Variant& a, const Variant& b) {
  switch (a.Type()) {
    case varSingle: return a.AsSingle() == b.AsSingle();
    case varDouble: case varDate: return a.AsDouble() == b.AsDouble();
    case varOleStr: return a.AsWide() == b.AsWide();
    case varBoolean: return a.AsBoolean() == b.AsBoolean();
    case varByRef: return a.AsObject() == b.AsObject();
    default: return a.AsInt64() == b.AsInt64();
  }
}

TEST(OleVariantWin32, EveryScalarCodeRoundTrips) {
  TObject object;
  const Variant values[] = {
      Variant(), Variant::Null(), Variant::Smallint(-32768), Variant::Integer(-2147483647 - 1),
      Variant::Single(1.5f), Variant::Double(-0.1), Variant::Currency(-123456789), Variant::Date(45000.25),
      Variant::OleStr(u"a\u00E7\u00E3o \u20AC"), Variant::OleStr(u""), Variant::Boolean(true),
      Variant::Boolean(false), Variant::Error(-5), Variant::ShortInt(-128), Variant::Byte(255),
      Variant::Word(65535), Variant::LongWord(4294967295u), Variant::Int64(-9007199254740993),
      Variant::ByRef(&object)};
  for (const Variant& value : values) {
    OleVariant ole;
    ToOleVariant(value, ole.value);
    EXPECT_EQ(ole.value.vt, value.Type());
    Variant back = FromOleVariant(ole.value);
    EXPECT_EQ(back.Type(), value.Type());
    EXPECT_TRUE(SamePayload(back, value)) << "type " << value.Type();
  }
}

TEST(OleVariantWin32, PlatformValuesCarryTheirPayloads) {
  OleVariant ole;
  ole.value.vt = VT_BOOL;
  ole.value.boolVal = VARIANT_TRUE;
  EXPECT_TRUE(FromOleVariant(ole.value).AsBoolean());
  ::VariantClear(&ole.value);
  ole.value.vt = VT_BSTR;
  ole.value.bstrVal = ::SysAllocString(L"caf\u00E9");
  EXPECT_EQ(FromOleVariant(ole.value).AsWide(), u"caf\u00E9");
  ::VariantClear(&ole.value);
  ole.value.vt = VT_BSTR;
  ole.value.bstrVal = nullptr;  // the platform's empty string
  EXPECT_EQ(FromOleVariant(ole.value).AsWide(), u"");
}

TEST(OleVariantWin32, NarrowTextBecomesAWideString) {
  for (const Variant& narrow : {Variant::String("a\xE7\xE3o"), Variant::StrArg(u"a\u00E7\u00E3o")}) {
    OleVariant ole;
    ToOleVariant(narrow, ole.value);
    ASSERT_EQ(ole.value.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(ole.value.bstrVal)), u"a\u00E7\u00E3o");
  }
}

TEST(OleVariantWin32, InterfacesAndArraysKeepOnlyTheirTypeCodes) {
  OleVariant ole;
  ole.value.vt = VT_UNKNOWN;
  ole.value.punkVal = nullptr;
  EXPECT_EQ(FromOleVariant(ole.value).Type(), varUnknown);
  ole.value.vt = VT_ARRAY | VT_I4;
  ole.value.parray = nullptr;
  EXPECT_EQ(FromOleVariant(ole.value).Type(), varArray | varInteger);
  ole.value.vt = VT_EMPTY;
  EXPECT_THROW(ToOleVariant(Variant::Array(varInteger, {}), ole.value), EConvertError);
}

}  // namespace
}  // namespace tarn
