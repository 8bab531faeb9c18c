#include "json/json_output.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarn {

TJSONOutput::TJSONOutput() { Grow(); }

TJSONOutput::TJSONOutput(Sink sink) : sink_(std::move(sink)) {
  pieces_.push_back(std::make_unique_for_overwrite<char[]>(kSinkPiece));
  position_ = pieces_.back().get();
  end_ = position_ + kSinkPiece;
}

TJSONOutput::~TJSONOutput() = default;

void TJSONOutput::Grow() {
  if (sink_) {
    Flush();
    return;
  }
  pieces_.push_back(std::make_unique_for_overwrite<char[]>(kStep));
  position_ = pieces_.back().get();
  end_ = position_ + kStep;
}

void TJSONOutput::Flush() {
  char* start = pieces_.back().get();
  if (!sink_ || position_ == start) return;
  sink_(std::string_view(start, static_cast<size_t>(position_ - start)));
  position_ = start;
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

std::string TJSONOutput::Text() const {
  std::string text;
  size_t size = Size();
  text.reserve(size);
  ForEachPiece([&text](std::string_view piece) { text.append(piece); });
  return text;
}

}  // namespace tarn
