// The root object class. Classes whose instances travel through untyped
// references (a by-reference variant) derive from it, so a receiver can ask
// for the real class of what it was given.
#pragma once

namespace tarn {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
};

}  // namespace tarn
