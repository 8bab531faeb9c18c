// The byte block that Text fills: it starts at 50,000 bytes and grows by
// another 50,000 whenever a byte is to be written at its end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

class TJSONOutput {
 public:
  static constexpr size_t kStep = 50000;

  TJSONOutput();
  ~TJSONOutput();
  TJSONOutput(const TJSONOutput&) = delete;
  TJSONOutput& operator=(const TJSONOutput&) = delete;

  void Put(char c) {
    if (position_ == end_) Grow();
    *position_++ = c;
  }
  // Copies the text in pieces that fit the room left, growing between them.
  void Append(std::string_view text);

  size_t Capacity() const noexcept { return static_cast<size_t>(end_ - start_); }
  std::string_view Written() const noexcept { return {start_, static_cast<size_t>(position_ - start_)}; }

 private:
  void Grow();

  char* start_;
  char* position_;
  char* end_;
};

}  // namespace tarn
