// The root object class. A container that owns objects without knowing
// their class (a hash list under ownership 2) holds them as TObject and
// destroys them through the virtual destructor; a receiver of an untyped
// reference (a by-reference variant) can ask for its real class.
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
