// The JSON value tree. TJSONbase holds one scalar (null, boolean, 32-bit
// integer, double or UTF-16 string); TJSONlist (an array) and TJSONobject
// (named members) derive from the container base TJSONarray. Every value
// answers the same virtual operations; one that makes no sense for its class
// raises TJSONError with a fixed message, leaving the value unchanged.
//
// Ownership: a container owns its children and destroys them when it is
// destroyed, cleared, or when a child is replaced. The parent reference is set
// once, at construction, and is never an owner. Member names travel as UTF-16
// but are kept narrow (Windows-1252): two names that narrow to the same text
// are the same member, and lookups compare narrow text case-sensitively.
//
// Trees of any depth are destroyed and written without deep recursion. A
// scalar child is kept in its container as a bare value until its object is
// asked for (GetItem, a visitor), which saves an allocation per scalar. A
// tree made by ParseJSON keeps its containers and strings in memory that its
// root owns (json/arena_values.h); values added to it later come from the
// heap, and both mix freely. Not thread-safe, not even for reading: one
// thread at a time per tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_cell.h"
#include "json/json_names.h"
#include "platform/portable/exceptions.h"
#include "platform/portable/object.h"
#include "platform/portable/variant.h"

namespace tarn {

class TIntegerHash;
class TJSONarray;
class TJSONOutput;

// Every failure the library detects itself.
TARN_EXCEPTION_CLASS(TJSONError, Exception);

enum TJSONkind : uint8_t {
  jkNull = 0,
  jkBoolean = 1,
  jkInteger = 2,
  jkFloat = 3,
  jkString = 4,
  jkList = 5,
  jkObject = 6,
};

class TJSONbase;

// Visitors receive the member name (a list passes the position in decimal),
// the child, the caller's data and a stop flag that is false before the
// first call; setting it ends the walk after the current call.
using TJSONVisitProc = void (*)(const std::u16string& name, TJSONbase* child, void* user_data, bool& stop);
using TJSONVisitMethod = std::function<void(const std::u16string& name, TJSONbase* child, void* user_data, bool& stop)>;

class TJSONbase : public TObject {
 public:
  explicit TJSONbase(TJSONarray* parent = nullptr) noexcept : parent_(parent), value_(JSONCell::Null()) {}
  ~TJSONbase() override;
  TJSONbase(const TJSONbase&) = delete;
  TJSONbase& operator=(const TJSONbase&) = delete;

  virtual TJSONarray* Parent() const noexcept;
  virtual uint8_t Kind() const noexcept;
  // A copy of the stored value: null, boolean, 32-bit integer, double, wide
  // string, or a by-reference variant for a holder of kind 5 or 6.
  virtual Variant GetValue() const;
  // Stores a normalised copy of the value and sets the kind from its type.
  // A by-reference value must point at a TJSONlist or TJSONobject, which the
  // holder refers to but never owns.
  virtual void SetValue(const Variant& value);
  // The compact JSON text of the value and everything under it.
  virtual std::string Text() const;
  virtual void WriteText(TJSONOutput& output) const;
  // The child at the position, or none outside 0 to Count()-1; the
  // container keeps ownership.
  virtual TJSONbase* GetItem(int32_t position) const;
  // Replaces (destroys) the child at the position; no value stores a null.
  virtual void SetItem(int32_t position, std::unique_ptr<TJSONbase> value);
  virtual TJSONbase* GetNamedItem(std::u16string_view name) const;
  virtual void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value);
  virtual std::u16string GetName(int32_t position) const;
  virtual int32_t Count() const;

  // This value as a container, or none for a scalar (holders included).
  virtual TJSONarray* AsArray() noexcept { return nullptr; }
  virtual const TJSONarray* AsArray() const noexcept { return nullptr; }

 protected:
  // The kind of a stored scalar.
  static uint8_t KindOf(JSONCell value) noexcept;
  // Writes a stored scalar.
  static void WriteScalar(TJSONOutput& output, JSONCell value);

  // How many children a container has and has room for, whether the room
  // is borrowed (not the container's to give back), and whether anything at
  // or below the container needs its destructor: a container a parse made,
  // with all it holds, lives in memory its root frees at once, until it is
  // given something from the heap.
  struct RoomCounts {
    uint32_t size;
    uint32_t capacity : 30;
    uint32_t borrowed : 1;
    uint32_t needs_destruction : 1;
  };

 private:
  friend class TJSONarray;
  friend class JSONParser;

  TJSONarray* parent_;

 protected:
  // A scalar's value (an owned text is freed with it); a container has no
  // value, and keeps the counts of its children in the same eight bytes.
  union {
    JSONCell value_;
    RoomCounts room_;
  };
};

// The common base of the two containers; never instantiated by itself.
class TJSONarray : public TJSONbase {
 public:
  ~TJSONarray() override;

  Variant GetValue() const override;
  void SetValue(const Variant& value) override;
  void WriteText(TJSONOutput& output) const override;
  TJSONbase* GetItem(int32_t position) const override;
  void SetItem(int32_t position, std::unique_ptr<TJSONbase> value) override;
  int32_t Count() const override;

  virtual void Clear() = 0;
  // Visit the children in position order, reading Count afresh each time.
  virtual void ForEach(TJSONVisitProc visitor, void* user_data);
  virtual void ForEachBound(const TJSONVisitMethod& visitor, void* user_data);

  TJSONarray* AsArray() noexcept override { return this; }
  const TJSONarray* AsArray() const noexcept override { return this; }

 protected:
  // A child in place: an owned value object, or a scalar kept as its cell
  // until its object is first asked for.
  class Child {
   public:
    explicit Child(JSONCell scalar) noexcept : cell_(scalar) {}
    explicit Child(std::unique_ptr<TJSONbase> node) noexcept
        : cell_(JSONCell::Pointer(JSONCell::kNode, node.release())) {}
    Child(Child&& other) noexcept : cell_(other.cell_) { other.cell_ = JSONCell::Null(); }
    Child& operator=(Child&& other) noexcept {
      if (this != &other) {
        Child old(cell_);
        cell_ = other.cell_;
        other.cell_ = JSONCell::Null();
      }
      return *this;
    }
    ~Child() { Free(); }

    // Destroys the value now, leaving a null.
    void Release() noexcept {
      Free();
      cell_ = JSONCell::Null();
    }

    // The owned object, or none for a scalar kept in place.
    TJSONbase* Node() const noexcept {
      return cell_.Is(JSONCell::kNode) ? static_cast<TJSONbase*>(cell_.AsPointer()) : nullptr;
    }
    JSONCell Scalar() const noexcept { return cell_; }
    // Hands the cell (and a node's ownership) over, leaving a null.
    JSONCell Take() noexcept {
      JSONCell cell = cell_;
      cell_ = JSONCell::Null();
      return cell;
    }

   private:
    void Free() noexcept {
      delete Node();
      cell_.FreeOwnedText();
    }

    JSONCell cell_;
  };

  // A container has no value of its own.
  explicit TJSONarray(TJSONarray* parent) noexcept : TJSONbase(parent) { room_ = {0, kInlineChildren, 0, 1}; }
  // A container made in a parse's memory: until MarkHeapHeld, its children
  // are left to that memory when it goes.
  struct InArena {};
  TJSONarray(TJSONarray* parent, InArena) noexcept : TJSONbase(parent) { room_ = {0, kInlineChildren, 0, 0}; }
  // The container is about to hold something from the heap: it and the
  // containers above it are destroyed child by child from now on. A parsed
  // container so marked has its parents marked too, which ends the walk.
  void MarkHeapHeld() noexcept {
    for (TJSONarray* array = this; array != nullptr && !array->room_.needs_destruction; array = array->parent_) {
      array->room_.needs_destruction = 1;
    }
  }
  // The name handed to a visitor for the child at the position.
  virtual std::u16string VisitName(int32_t position) const = 0;
  // Destroys every child in position order, nested containers' children
  // before the container, without recursion.
  void DestroyChildren() noexcept;
  // The object of the child at the position, made now for a scalar.
  TJSONbase* ChildObject(size_t position) const;
  template <typename Visit>
  void Walk(const Visit& visit, void* user_data);

  size_t ChildCount() const noexcept { return room_.size; }
  Child* Children() const noexcept {
    return room_.capacity == kInlineChildren ? std::launder(reinterpret_cast<Child*>(inline_)) : heap_;
  }
  // Room for one more child, so that appending it cannot fail.
  void ReserveOneMore() {
    if (room_.size == room_.capacity) MoveChildren(NewRoom(room_.size * size_t{2}), room_.size * size_t{2}, false);
  }
  // Room for exactly `count` children in all, taken from `memory`, which
  // must outlive the container.
  void ReserveChildren(size_t count, std::pmr::memory_resource& memory);
  // Destroys the children in position order; the room stays.
  void ClearChildren() noexcept;
  // Appends the cells, taking the nodes among them, in room for exactly them
  // taken from `memory`, which must outlive the container. On failure
  // nothing changes.
  void AppendCells(const JSONCell* cells, size_t count, std::pmr::memory_resource& memory) {
    ReserveChildren(room_.size + count, memory);
    Child* children = Children() + room_.size;
    for (size_t i = 0; i < count; ++i) std::construct_at(children + i, cells[i]);
    room_.size += static_cast<uint32_t>(count);
  }
  // Appends into room made beforehand.
  void PutChild(Child&& child) noexcept { std::construct_at(Children() + room_.size++, std::move(child)); }

 private:
  friend class JSONParser;

  // Two children live inside the container: a pair costs no allocation.
  static constexpr uint32_t kInlineChildren = 2;
  static constexpr size_t kMaxChildren = (size_t{1} << 30) - 1;

  static Child* NewRoom(size_t count);
  // Whether the value is a container with children to destroy one by one.
  static bool HasGrandchildren(const TJSONbase* node) noexcept;
  void MoveChildren(Child* room, size_t count, bool borrowed) noexcept;
  void FreeRoom() noexcept;

  union {
    alignas(Child) mutable unsigned char inline_[kInlineChildren * sizeof(Child)];
    Child* heap_;
  };
};

class TJSONlist : public TJSONarray {
 public:
  explicit TJSONlist(TJSONarray* parent = nullptr) noexcept : TJSONarray(parent) {}

  // Appends the value; no value appends a new null whose parent is this list.
  void Add(std::unique_ptr<TJSONbase> value);

  TJSONbase* GetNamedItem(std::u16string_view name) const override;
  void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) override;
  std::u16string GetName(int32_t position) const override;
  uint8_t Kind() const noexcept override;
  void Clear() override;

 protected:
  TJSONlist(TJSONarray* parent, InArena in_arena) noexcept : TJSONarray(parent, in_arena) {}
  std::u16string VisitName(int32_t position) const override;
};

class TJSONobject : public TJSONarray {
 public:
  explicit TJSONobject(TJSONarray* parent = nullptr) noexcept : TJSONarray(parent) {}
  ~TJSONobject() override;

  // Appends a member without looking the name up, so a name can occur more
  // than once; lookups find the member added last under a name. No value
  // appends a new null whose parent is this object.
  void Add(std::u16string_view name, std::unique_ptr<TJSONbase> value);

  TJSONbase* GetNamedItem(std::u16string_view name) const override;
  void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) override;
  std::u16string GetName(int32_t position) const override;
  uint8_t Kind() const noexcept override;
  void Clear() override;

  // The stored narrow name at the position; the writer reads it directly.
  std::string_view NarrowName(size_t position) const noexcept { return NameList()->list[position]; }

 protected:
  TJSONobject(TJSONarray* parent, InArena in_arena) noexcept : TJSONarray(parent, in_arena) {}
  std::u16string VisitName(int32_t position) const override;

 private:
  friend class JSONParser;

  // Objects this small are searched through their names; larger ones get the
  // name index on their first lookup, and keep it up to date from then on.
  static constexpr size_t kUnindexedMembers = 8;

  // The names and their index, made with the first member: an empty object
  // pays only for the pointer.
  struct Names {
    std::unique_ptr<TIntegerHash> index;
    TJSONnames list;
  };

  // The names made in memory that outlives the object (a parse's arena) are
  // marked in the pointer's lowest bit.
  Names* NameList() const noexcept { return reinterpret_cast<Names*>(names_ & ~uintptr_t{1}); }
  bool NamesBorrowed() const noexcept { return (names_ & 1) != 0; }
  void SetNames(Names* names, bool borrowed) noexcept {
    names_ = reinterpret_cast<uintptr_t>(names) | (borrowed ? 1 : 0);
  }
  size_t NameCount() const noexcept { return names_ == 0 ? 0 : NameList()->list.Size(); }
  void Append(std::string_view narrow_name, Child value);
  int32_t IndexOf(std::string_view narrow_name) const;

  uintptr_t names_ = 0;
};

}  // namespace tarn
