#include "platform/portable/variant.h"

#include <cstring>
#include <new>
#include <utility>

namespace tarn {

struct Variant::TextBlock {
  size_t length;  // code units that follow the header

  template <typename Unit>
  Unit* Units() noexcept {
    return reinterpret_cast<Unit*>(this + 1);
  }

  template <typename Unit>
  static TextBlock* Make(const Unit* units, size_t length) {
    if (length == 0) return nullptr;  // the empty string needs no block
    void* memory = ::operator new(sizeof(TextBlock) + length * sizeof(Unit));
    auto* block = new (memory) TextBlock{length};
    std::memcpy(block->Units<Unit>(), units, length * sizeof(Unit));
    return block;
  }

  static TextBlock* Copy(TextBlock* block, size_t unit_size) {
    if (block == nullptr) return nullptr;
    size_t bytes = sizeof(TextBlock) + block->length * unit_size;
    void* memory = ::operator new(bytes);
    std::memcpy(memory, block, bytes);
    return static_cast<TextBlock*>(memory);
  }
};

namespace {

bool IsWide(uint16_t type) { return type == varOleStr || type == varStrArg; }
bool IsArray(uint16_t type) { return (type & varArray) != 0; }

}  // namespace

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

void Variant::ReleasePayload() noexcept {
  if (IsArray(type_)) {
    delete payload_.array;
  } else {
    ::operator delete(payload_.text);
  }
  type_ = varEmpty;
  storage_ = Storage::kNone;
}

void Variant::CopyPayload() {
  if (IsArray(type_)) {
    payload_.array = new std::vector<Variant>(*payload_.array);
  } else {
    payload_.text = TextBlock::Copy(payload_.text, IsWide(type_) ? sizeof(char16_t) : 1);
  }
  storage_ = Storage::kOwned;
}

Variant Variant::Smallint(int16_t value) { return OfInteger(varSmallint, value); }
Variant Variant::Currency(int64_t ten_thousandths) { return OfInteger(varCurrency, ten_thousandths); }
Variant Variant::Error(int32_t code) { return OfInteger(varError, code); }
Variant Variant::ShortInt(int8_t value) { return OfInteger(varShortInt, value); }
Variant Variant::Byte(uint8_t value) { return OfInteger(varByte, value); }
Variant Variant::Word(uint16_t value) { return OfInteger(varWord, value); }
Variant Variant::LongWord(uint32_t value) { return OfInteger(varLongWord, value); }
Variant Variant::Int64(int64_t value) { return OfInteger(varInt64, value); }

Variant Variant::Single(float value) {
  Variant v(varSingle);
  v.payload_.single = value;
  return v;
}

Variant Variant::Date(double days) { return OfReal(varDate, days); }

template <typename Unit>
Variant Variant::OfText(uint16_t type, std::basic_string_view<Unit> text) {
  Variant v(type);
  v.payload_.text = TextBlock::Make(text.data(), text.size());
  v.storage_ = Storage::kOwned;
  return v;
}

Variant Variant::OleStr(std::u16string_view text) { return OfText(varOleStr, text); }
Variant Variant::OleStrIn(std::u16string_view text, std::pmr::memory_resource& memory) {
  Variant v(varOleStr);
  if (!text.empty()) {
    size_t bytes = sizeof(TextBlock) + text.size() * sizeof(char16_t);
    auto* block = new (memory.allocate(bytes, alignof(TextBlock))) TextBlock{text.size()};
    std::memcpy(block->Units<char16_t>(), text.data(), text.size() * sizeof(char16_t));
    v.payload_.text = block;
    v.storage_ = Storage::kBorrowed;
  }
  return v;
}

Variant Variant::StrArg(std::u16string_view text) { return OfText(varStrArg, text); }
Variant Variant::String(std::string_view narrow_text) { return OfText(varString, narrow_text); }

Variant Variant::Array(VarType element, std::vector<Variant> elements) {
  auto* array = new std::vector<Variant>(std::move(elements));
  Variant v(static_cast<uint16_t>(varArray | element));
  v.payload_.array = array;
  v.storage_ = Storage::kOwned;
  return v;
}

int64_t Variant::AsInt64() const noexcept {
  switch (type_) {
    case varSmallint: case varInteger: case varError: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64: case varCurrency:
      return payload_.int64;
    default:
      return 0;
  }
}

std::u16string_view Variant::AsWide() const noexcept {
  if (!IsWide(type_) || payload_.text == nullptr) return {};
  return {payload_.text->Units<char16_t>(), payload_.text->length};
}

std::string_view Variant::AsNarrow() const noexcept {
  if (type_ != varString || payload_.text == nullptr) return {};
  return {payload_.text->Units<char>(), payload_.text->length};
}

}  // namespace tarn
