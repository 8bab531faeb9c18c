// The automation variant: a type code plus a payload, the value that crosses
// the JSON library's interface. Type codes are those of the OLE Automation
// VARIANT. Copying a variant copies its strings and arrays; a by-reference or
// interface variant copies only the reference and never owns what it refers
// to. Currency is a 64-bit count of ten-thousandths.
#pragma once

#include <cstdint>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include "platform/portable/object.h"

namespace tarn {

enum VarType : uint16_t {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varSingle = 0x0004,
  varDouble = 0x0005,
  varCurrency = 0x0006,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varDispatch = 0x0009,
  varError = 0x000A,
  varBoolean = 0x000B,
  varUnknown = 0x000D,
  varShortInt = 0x0010,
  varByte = 0x0011,
  varWord = 0x0012,
  varLongWord = 0x0013,
  varInt64 = 0x0014,
  varStrArg = 0x0048,
  varString = 0x0100,
  varArray = 0x2000,
  varByRef = 0x4000,
};

class Variant {
 public:
  Variant() noexcept : type_(varEmpty) { payload_.int64 = 0; }
  ~Variant() {
    if (storage_ == Storage::kOwned) ReleasePayload();
  }
  // A copy owns its strings and arrays, also where the original borrows its text.
  Variant(const Variant& other) : type_(other.type_), payload_(other.payload_) {
    if (other.storage_ != Storage::kNone) CopyPayload();
  }
  Variant& operator=(const Variant& other);
  Variant(Variant&& other) noexcept : type_(other.type_), storage_(other.storage_), payload_(other.payload_) {
    other.type_ = varEmpty;
    other.storage_ = Storage::kNone;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      if (storage_ == Storage::kOwned) ReleasePayload();
      type_ = other.type_;
      storage_ = other.storage_;
      payload_ = other.payload_;
      other.type_ = varEmpty;
      other.storage_ = Storage::kNone;
    }
    return *this;
  }

  static Variant Null() { return Variant(varNull); }
  static Variant Smallint(int16_t value);
  static Variant Integer(int32_t value);
  static Variant Single(float value);
  static Variant Double(double value);
  static Variant Currency(int64_t ten_thousandths);
  static Variant Date(double days);
  static Variant OleStr(std::u16string_view text);
  // A wide string whose text is kept in `memory` and never freed by the
  // variant: `memory` must outlive it (and whatever it is moved into).
  static Variant OleStrIn(std::u16string_view text, std::pmr::memory_resource& memory);
  static Variant StrArg(std::u16string_view text);
  static Variant String(std::string_view narrow_text);
  static Variant Boolean(bool value);
  static Variant Error(int32_t code);
  static Variant ShortInt(int8_t value);
  static Variant Byte(uint8_t value);
  static Variant Word(uint16_t value);
  static Variant LongWord(uint32_t value);
  static Variant Int64(int64_t value);
  // A by-reference variant (type code 0x4000 with no base type) to an object
  // owned elsewhere.
  static Variant ByRef(TObject* object);
  // An interface variant, varDispatch or varUnknown; the object is not owned.
  static Variant Interface(VarType type, TObject* object);
  // An array of elements of the given type (type code 0x2000 | element).
  static Variant Array(VarType element, std::vector<Variant> elements);

  uint16_t Type() const noexcept { return type_; }
  bool IsEmpty() const noexcept { return type_ == varEmpty; }
  bool IsNull() const noexcept { return type_ == varNull; }

  // Payload readers; each is meaningful only for the type codes named.
  bool AsBoolean() const noexcept { return payload_.boolean; }                  // varBoolean
  int64_t AsInt64() const noexcept;  // the integer codes, varError, varCurrency's raw count
  float AsSingle() const noexcept { return payload_.single; }                   // varSingle
  double AsDouble() const noexcept { return payload_.real; }                    // varDouble, varDate
  std::u16string_view AsWide() const noexcept;                                  // varOleStr, varStrArg
  std::string_view AsNarrow() const noexcept;                                   // varString
  TObject* AsObject() const noexcept { return payload_.object; }                // by-reference, interfaces
  const std::vector<Variant>& AsArray() const noexcept { return *payload_.array; }  // arrays

 private:
  explicit Variant(uint16_t type) noexcept : type_(type) { payload_.int64 = 0; }
  static Variant OfInteger(uint16_t type, int64_t value);
  static Variant OfReal(uint16_t type, double value);
  template <typename Unit>
  static Variant OfText(uint16_t type, std::basic_string_view<Unit> text);
  void ReleasePayload() noexcept;
  // Replaces the payload, a copy of another variant's, with an own copy.
  void CopyPayload();

  // Strings live in one block: their length in code units, then the units.
  struct TextBlock;

  // Where the payload of a string or an array lives; every other payload is
  // a value or a reference, copied as it is (kNone).
  enum class Storage : uint8_t {
    kNone,
    kOwned,     // a block of the variant's own
    kBorrowed,  // text in memory that the variant does not own
  };

  uint16_t type_;
  Storage storage_ = Storage::kNone;
  union {
    int64_t int64;
    double real;
    float single;
    bool boolean;
    TObject* object;
    TextBlock* text;
    std::vector<Variant>* array;
  } payload_;
};

// The factories a parser calls for every value, inline.
inline Variant Variant::OfInteger(uint16_t type, int64_t value) {
  Variant v(type);
  v.payload_.int64 = value;
  return v;
}

inline Variant Variant::OfReal(uint16_t type, double value) {
  Variant v(type);
  v.payload_.real = value;
  return v;
}

inline Variant Variant::Boolean(bool value) {
  Variant v(varBoolean);
  v.payload_.boolean = value;
  return v;
}

inline Variant Variant::Interface(VarType type, TObject* object) {
  Variant v(type);
  v.payload_.object = object;
  return v;
}

inline Variant Variant::Integer(int32_t value) { return OfInteger(varInteger, value); }

inline Variant Variant::Double(double value) { return OfReal(varDouble, value); }

inline Variant Variant::ByRef(TObject* object) { return Interface(static_cast<VarType>(varByRef), object); }

}  // namespace tarn
