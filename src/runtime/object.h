// The root of the objects that a container may own and destroy without
// knowing their class: a list that frees its items as objects holds them as
// TObject and destroys them through the virtual destructor.
#pragma once

namespace tarn {

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
};

}  // namespace tarn
