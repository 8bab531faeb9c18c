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
// Trees of any depth are destroyed and written without recursion. Not
// thread-safe: one thread at a time per tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
  explicit TJSONbase(TJSONarray* parent = nullptr) noexcept;
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

 protected:
  // Containers set their fixed kind; the parser stores scalars it has
  // already normalised.
  void Assign(uint8_t kind, Variant value) noexcept {
    kind_ = kind;
    value_ = std::move(value);
  }
  // The container behind this value, or none for a scalar holder.
  virtual TJSONarray* AsArray() noexcept { return nullptr; }
  virtual const TJSONarray* AsArray() const noexcept { return nullptr; }

 private:
  friend class TJSONarray;
  friend class JSONParser;

  TJSONarray* parent_;
  Variant value_;
  uint8_t kind_;
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

 protected:
  using Children = std::vector<std::unique_ptr<TJSONbase>>;

  TJSONarray(TJSONarray* parent, uint8_t kind) noexcept;
  TJSONarray* AsArray() noexcept override { return this; }
  const TJSONarray* AsArray() const noexcept override { return this; }
  // The name handed to a visitor for the child at the position.
  virtual std::u16string VisitName(int32_t position) const = 0;
  // Destroys every child in position order, nested containers' children
  // before the container, without recursion.
  void DestroyChildren() noexcept;
  template <typename Visit>
  void Walk(const Visit& visit, void* user_data);

  Children children_;
};

class TJSONlist : public TJSONarray {
 public:
  explicit TJSONlist(TJSONarray* parent = nullptr) noexcept;

  // Appends the value; no value appends a new null whose parent is this list.
  void Add(std::unique_ptr<TJSONbase> value);

  TJSONbase* GetNamedItem(std::u16string_view name) const override;
  void SetNamedItem(std::u16string_view name, std::unique_ptr<TJSONbase> value) override;
  std::u16string GetName(int32_t position) const override;
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
  void Clear() override;

  // The stored narrow name at the position; the writer reads it directly.
  const std::string& NarrowName(size_t position) const noexcept { return names_[position]; }

 protected:
  std::u16string VisitName(int32_t position) const override;

 private:
  friend class JSONParser;

  // Objects this small are searched through their names; larger ones get the
  // name index on their first lookup, and keep it up to date from then on.
  static constexpr size_t kUnindexedMembers = 8;

  void Append(std::string narrow_name, std::unique_ptr<TJSONbase> value);
  int32_t IndexOf(const std::string& narrow_name) const;

  mutable std::unique_ptr<TIntegerHash> index_;
  std::vector<std::string> names_;
};

}  // namespace tarn
