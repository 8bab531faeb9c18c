// A scalar value, or a reference to a value object, in eight bytes. A double
// is kept as its own bits; everything else lives in the payload of a NaN with
// the sign and quiet bits set, which no double stored here has (a NaN keeps
// only its sign, as the plain quiet NaN): three bits above the quiet bit say
// what the cell holds (zero is that negative NaN), the 48 bits below carry an
// integer, a literal or a pointer (user-space addresses fit in 48 bits).
//
// A cell owns nothing by itself: whoever keeps one frees an owned string or
// an owned node (FreeOwned) and decides when.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <new>
#include <string_view>

namespace tarn {

class TObject;

class JSONCell {
 public:
  enum Tag : uint8_t {
    kLiteral = 1,  // false, true, null, or a child that is an empty list or object
    kInteger = 2,
    kBorrowedText = 3,  // UTF-16 text in memory the cell's keeper does not own
    kOwnedText = 4,     // UTF-16 text on the heap, freed by FreeOwned
    kNode = 5,          // an owned value object, destroyed by FreeOwned
    kListHolder = 6,    // a list referred to, never owned
    kObjectHolder = 7,  // an object referred to, never owned
  };

  static JSONCell Null() noexcept { return Boxed(kLiteral, kNullLiteral); }
  static JSONCell Boolean(bool value) noexcept { return Boxed(kLiteral, value ? 1 : 0); }
  // An empty container kept in its container's room until its object is
  // asked for; never a value's own cell.
  static JSONCell EmptyList() noexcept { return Boxed(kLiteral, kEmptyList); }
  static JSONCell EmptyObject() noexcept { return Boxed(kLiteral, kEmptyObject); }
  static JSONCell Integer(int32_t value) noexcept { return Boxed(kInteger, static_cast<uint32_t>(value)); }
  static JSONCell Double(double value) noexcept {
    JSONCell cell;
    cell.bits_ = std::bit_cast<uint64_t>(value);
    if (value != value) cell.bits_ = (cell.bits_ & kSign) | kQuietNaN;
    return cell;
  }
  // A double known not to be a NaN, as every number a text spells is.
  static JSONCell Number(double value) noexcept {
    JSONCell cell;
    cell.bits_ = std::bit_cast<uint64_t>(value);
    return cell;
  }
  static JSONCell Pointer(Tag tag, const void* pointer) noexcept {
    return Boxed(tag, reinterpret_cast<uintptr_t>(pointer));
  }
  // Text copied into `memory`, which must outlive every
  // cell that refers to it.
  static JSONCell TextIn(std::u16string_view text, std::pmr::memory_resource& memory) {
    if (text.empty()) return EmptyText();
    return Pointer(kBorrowedText, MakeText(text, memory.allocate(TextBytes(text.size()), alignof(uint32_t))));
  }
  // Room in `memory` for a text of `units` code units (at least one), which
  // the caller writes at `units_at`.
  static JSONCell TextRoomIn(size_t units, std::pmr::memory_resource& memory, char16_t*& units_at) {
    void* room = memory.allocate(TextBytes(units), alignof(uint32_t));
    auto length = static_cast<uint32_t>(units);
    std::memcpy(room, &length, sizeof length);
    units_at = reinterpret_cast<char16_t*>(static_cast<char*>(room) + sizeof length);
    return Pointer(kBorrowedText, room);
  }
  // Text copied to the heap; the keeper frees it.
  static JSONCell OwnedText(std::u16string_view text) {
    if (text.empty()) return EmptyText();
    return Pointer(kOwnedText, MakeText(text, ::operator new(TextBytes(text.size()))));
  }

  // Every boxed cell lies above the negative quiet NaN and its tag zero.
  bool IsDouble() const noexcept { return bits_ < (kBoxMask | uint64_t{1} << 48); }
  bool IsNull() const noexcept { return bits_ == Null().bits_; }
  bool IsEmptyList() const noexcept { return bits_ == EmptyList().bits_; }
  bool IsEmptyObject() const noexcept { return bits_ == EmptyObject().bits_; }
  // false, true, null, or an empty container: what a literal cell holds.
  uint64_t LiteralCode() const noexcept { return bits_ & kPayload; }
  // The tag of a cell that is not a double.
  Tag BoxTag() const noexcept { return static_cast<Tag>((bits_ >> 48) & 7); }
  bool Is(Tag tag) const noexcept { return !IsDouble() && BoxTag() == tag; }
  bool IsText() const noexcept { return Is(kBorrowedText) || Is(kOwnedText); }

  double AsDouble() const noexcept { return std::bit_cast<double>(bits_); }
  bool AsBoolean() const noexcept { return (bits_ & 1) != 0; }
  int32_t AsInteger() const noexcept { return static_cast<int32_t>(static_cast<uint32_t>(bits_)); }
  void* AsPointer() const noexcept { return reinterpret_cast<void*>(static_cast<uintptr_t>(bits_ & kPayload)); }
  std::u16string_view AsText() const noexcept {
    const auto* block = static_cast<const char*>(AsPointer());
    uint32_t length = 0;
    std::memcpy(&length, block, sizeof length);
    return {reinterpret_cast<const char16_t*>(block + sizeof length), length};
  }

  // Frees an owned text; a node is the keeper's to destroy, as only it knows
  // the node's class.
  void FreeOwnedText() noexcept {
    if (Is(kOwnedText)) ::operator delete(AsPointer());
  }

 private:
  static constexpr uint64_t kBoxMask = 0xFFF8000000000000;
  static constexpr uint64_t kPayload = (uint64_t{1} << 48) - 1;
  static constexpr uint64_t kSign = uint64_t{1} << 63;
  static constexpr uint64_t kQuietNaN = 0x7FF8000000000000;
  static constexpr uint64_t kNullLiteral = 2;
  static constexpr uint64_t kEmptyList = 3;
  static constexpr uint64_t kEmptyObject = 4;

  static JSONCell Boxed(Tag tag, uint64_t payload) noexcept {
    JSONCell cell;
    cell.bits_ = kBoxMask | (uint64_t{tag} << 48) | payload;
    return cell;
  }

  // The empty text, shared by every cell that holds one.
  static JSONCell EmptyText() noexcept {
    static constexpr uint32_t kNoUnits = 0;
    return Pointer(kBorrowedText, &kNoUnits);
  }

  static size_t TextBytes(size_t units) {
    if (units > UINT32_MAX) throw std::bad_alloc();
    return sizeof(uint32_t) + units * sizeof(char16_t);
  }
  // The length, then the units, in `room`.
  static const void* MakeText(std::u16string_view text, void* room) noexcept {
    auto length = static_cast<uint32_t>(text.size());
    std::memcpy(room, &length, sizeof length);
    std::memcpy(static_cast<char*>(room) + sizeof length, text.data(), text.size() * sizeof(char16_t));
    return room;
  }

  uint64_t bits_;
};

}  // namespace tarn
