#include "json/json_output.h"

#include <cstdlib>
#include <cstring>

#include "platform/exceptions.h"

namespace tarn {

// The block is a C allocation so that it grows in place where it can:
// growing by fixed steps would otherwise copy the text once per step.
TJSONOutput::TJSONOutput() {
  start_ = static_cast<char*>(std::calloc(kStep, 1));
  if (start_ == nullptr) throw EOutOfMemory();
  position_ = start_;
  end_ = start_ + kStep;
}

TJSONOutput::~TJSONOutput() { std::free(start_); }

void TJSONOutput::Grow() {
  size_t used = static_cast<size_t>(position_ - start_);
  size_t capacity = Capacity() + kStep;
  auto* grown = static_cast<char*>(std::realloc(start_, capacity));
  if (grown == nullptr) throw EOutOfMemory();
  start_ = grown;
  position_ = grown + used;
  end_ = grown + capacity;
}

void TJSONOutput::Append(std::string_view text) {
  while (!text.empty()) {
    if (position_ == end_) Grow();
    size_t piece = std::min(text.size(), static_cast<size_t>(end_ - position_));
    std::memcpy(position_, text.data(), piece);
    position_ += piece;
    text.remove_prefix(piece);
  }
}

}  // namespace tarn
