// An object that counts its destructions in a counter of the test, to see
// when and how often an owner frees it.
#pragma once

#include "platform/portable/object.h"

namespace tarn::testing {

class Counted final : public TObject {
 public:
  explicit Counted(int& destroyed) : destroyed_(destroyed) {}
  ~Counted() override { ++destroyed_; }

 private:
  int& destroyed_;
};

}  // namespace tarn::testing
