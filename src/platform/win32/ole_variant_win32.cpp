#include "platform/ole_variant.h"

#include <windows.h>
#include <oleauto.h>

#include "platform/code_page.h"
#include "platform/portable/exceptions.h"

namespace tarn {

namespace {

BSTR AllocWide(std::u16string_view text) {
  BSTR string = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (string == nullptr) throw EOutOfMemory();
  return string;
}

}  // namespace

void ToOleVariant(const Variant& value, tagVARIANT& out) {
  VARIANT& v = out;
  ::VariantInit(&v);
  switch (value.Type()) {
    case varEmpty: break;
    case varNull: v.vt = VT_NULL; break;
    case varSmallint: v.vt = VT_I2; v.iVal = static_cast<SHORT>(value.AsInt64()); break;
    case varInteger: v.vt = VT_I4; v.lVal = static_cast<LONG>(value.AsInt64()); break;
    case varSingle: v.vt = VT_R4; v.fltVal = value.AsSingle(); break;
    case varDouble: v.vt = VT_R8; v.dblVal = value.AsDouble(); break;
    case varCurrency: v.vt = VT_CY; v.cyVal.int64 = value.AsInt64(); break;
    case varDate: v.vt = VT_DATE; v.date = value.AsDouble(); break;
    case varOleStr: case varStrArg: v.bstrVal = AllocWide(value.AsWide()); v.vt = VT_BSTR; break;
    case varString: v.bstrVal = AllocWide(AnsiToWide(value.AsNarrow())); v.vt = VT_BSTR; break;
    case varError: v.vt = VT_ERROR; v.scode = static_cast<SCODE>(value.AsInt64()); break;
    case varBoolean: v.vt = VT_BOOL; v.boolVal = value.AsBoolean() ? VARIANT_TRUE : VARIANT_FALSE; break;
    case varShortInt: v.vt = VT_I1; v.cVal = static_cast<CHAR>(value.AsInt64()); break;
    case varByte: v.vt = VT_UI1; v.bVal = static_cast<BYTE>(value.AsInt64()); break;
    case varWord: v.vt = VT_UI2; v.uiVal = static_cast<USHORT>(value.AsInt64()); break;
    case varLongWord: v.vt = VT_UI4; v.ulVal = static_cast<ULONG>(value.AsInt64()); break;
    case varInt64: v.vt = VT_I8; v.llVal = value.AsInt64(); break;
    case varByRef: v.vt = VT_BYREF; v.byref = value.AsObject(); break;
    default: throw EConvertError("Invalid variant type conversion");
  }
}

Variant FromOleVariant(const tagVARIANT& value) {
  const VARIANT& v = value;
  switch (v.vt) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::Null();
    case VT_I2: return Variant::Smallint(v.iVal);
    case VT_I4: return Variant::Integer(v.lVal);
    case VT_R4: return Variant::Single(v.fltVal);
    case VT_R8: return Variant::Double(v.dblVal);
    case VT_CY: return Variant::Currency(v.cyVal.int64);
    case VT_DATE: return Variant::Date(v.date);
    case VT_BSTR:
      return Variant::OleStr(std::u16string_view(reinterpret_cast<const char16_t*>(v.bstrVal),
                                                 v.bstrVal != nullptr ? ::SysStringLen(v.bstrVal) : 0));
    case VT_ERROR: return Variant::Error(v.scode);
    case VT_BOOL: return Variant::Boolean(v.boolVal != VARIANT_FALSE);
    case VT_I1: return Variant::ShortInt(v.cVal);
    case VT_UI1: return Variant::Byte(v.bVal);
    case VT_UI2: return Variant::Word(v.uiVal);
    case VT_UI4: return Variant::LongWord(v.ulVal);
    case VT_I8: return Variant::Int64(v.llVal);
    case VT_BYREF: return Variant::ByRef(static_cast<TObject*>(v.byref));
    case VT_DISPATCH: return Variant::Interface(varDispatch, nullptr);
    case VT_UNKNOWN: return Variant::Interface(varUnknown, nullptr);
    default:
      if (v.vt & VT_ARRAY) return Variant::Array(static_cast<VarType>(v.vt & VT_TYPEMASK), {});
      throw EConvertError("Invalid variant type conversion");
  }
}

}  // namespace tarn
