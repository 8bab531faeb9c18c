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
#include <string>
#include <string_view>
#include <vector>

#include "json/inline_list.h"
#include "json/json_names.h"
#include "platform/exceptions.h"
#include "platform/object.h"
#include "platform/variant.h"

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
  explicit TJSONbase(TJSONarray* parent = nullptr) noexcept : parent_(parent), value_(Variant::Null()) {}
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
  TJSONbase(TJSONarray* parent, Variant value) noexcept : parent_(parent), value_(std::move(value)) {}
  // The kind of a stored, normalised value.
  static uint8_t KindOf(const Variant& value) noexcept;
  // Writes a stored, normalised scalar value.
  static void WriteScalar(TJSONOutput& output, const Variant& value);

 private:
  friend class TJSONarray;
  friend class JSONParser;

  TJSONarray* parent_;
  Variant value_;  // normalised; the kind follows from its type alone
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
  // A child in place: an owned value object, or a scalar kept as its
  // normalised value until its object is first asked for.
  class Child {
   public:
    explicit Child(Variant scalar) noexcept : value_(std::move(scalar)) {}
    explicit Child(std::unique_ptr<TJSONbase> node) noexcept : value_(Variant::ByRef(node.release())) {}
    Child(Child&& other) noexcept : value_(std::move(other.value_)) {}
    Child& operator=(Child&& other) noexcept {
      if (this != &other) {
        std::unique_ptr<TJSONbase> old(Node());
        value_ = std::move(other.value_);
      }
      return *this;
    }
    ~Child() { delete Node(); }

    // Destroys the value now, leaving an empty child.
    void Release() noexcept {
      delete Node();
      value_ = Variant();
    }

    // The owned object, or none for a scalar kept in place.
    TJSONbase* Node() const noexcept {
      return value_.Type() == varByRef ? static_cast<TJSONbase*>(value_.AsObject()) : nullptr;
    }
    const Variant& Scalar() const noexcept { return value_; }

   private:
    Variant value_;  // by-reference: the owned object
  };
  // Two children live inside the container: a pair costs no allocation.
  using Children = InlineList<Child, 2>;

  // A container has no value of its own.
  explicit TJSONarray(TJSONarray* parent) noexcept : TJSONbase(parent, Variant()) {}
  // The name handed to a visitor for the child at the position.
  virtual std::u16string VisitName(int32_t position) const = 0;
  // Destroys every child in position order, nested containers' children
  // before the container, without recursion.
  void DestroyChildren() noexcept;
  // The object of the child at the position, made now for a scalar.
  TJSONbase* ChildObject(size_t position) const;
  template <typename Visit>
  void Walk(const Visit& visit, void* user_data);

  mutable Children children_;

 private:
  friend class JSONParser;
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
  std::u16string VisitName(int32_t position) const override;
};

class TJSONobject : public TJSONarray {
 public:
  explicit TJSONobject(TJSONarray* parent = nullptr) noexcept;
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
  std::string_view NarrowName(size_t position) const noexcept { return names_[position]; }

 protected:
  std::u16string VisitName(int32_t position) const override;

 private:
  friend class JSONParser;

  // Objects this small are searched through their names; larger ones get the
  // name index on their first lookup, and keep it up to date from then on.
  static constexpr size_t kUnindexedMembers = 8;

  void Append(std::string_view narrow_name, Child value);
  int32_t IndexOf(std::string_view narrow_name) const;

  mutable std::unique_ptr<TIntegerHash> index_;
  TJSONnames names_;
};

}  // namespace tarn
