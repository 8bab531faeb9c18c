// The output of one Text call. It starts with room for 50,000 bytes and
// grows by another 50,000 whenever a byte is to be written where the room
// ends. The room is a chain of 50,000-byte pieces, so growing never moves
// what is written; the text is copied out once, at the end.
//
// An output given a sink instead hands each piece to it as soon as the piece
// is full, and writes the next one in the same room: a text of any length
// then costs one piece of memory. Flush hands over what is left.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

class TJSONOutput {
 public:
  static constexpr size_t kStep = 50000;
  // The room of an output with a sink.
  static constexpr size_t kSinkPiece = 1 << 16;

  using Sink = std::function<void(std::string_view piece)>;

  TJSONOutput();
  explicit TJSONOutput(Sink sink);
  ~TJSONOutput();
  TJSONOutput(const TJSONOutput&) = delete;
  TJSONOutput& operator=(const TJSONOutput&) = delete;

  void Put(char c) {
    if (position_ == end_) Grow();
    *position_++ = c;
  }
  // Copies the text in pieces that fit the room left, growing between them.
  void Append(std::string_view text);
  // Writes what `fill(buffer)` puts into a buffer of `max` bytes, returning
  // how many it used; straight into the room left when it is large enough.
  template <typename Fill>
  void Write(size_t max, const Fill& fill) {
    if (static_cast<size_t>(end_ - position_) >= max) {
      position_ += fill(position_);
    } else {
      std::string buffer(max, '\0');
      Append({buffer.data(), fill(buffer.data())});
    }
  }

  // Direct writing for callers that check the room themselves: the write
  // position, the bytes free from there, and the step past what they wrote.
  char* Cursor() const noexcept { return position_; }
  size_t Room() const noexcept { return static_cast<size_t>(end_ - position_); }
  void Advance(size_t count) noexcept { position_ += count; }

  // Hands what is written and not yet handed over to the sink, if any.
  void Flush();

  // What an output without a sink holds.
  size_t Capacity() const noexcept { return pieces_.size() * kStep; }
  size_t Size() const noexcept { return Capacity() - static_cast<size_t>(end_ - position_); }
  // Everything written so far, in one string.
  std::string Text() const;
  // Hands everything written so far to `sink`, piece by piece in order,
  // without copying it.
  template <typename Sink>
  void ForEachPiece(const Sink& sink) const {
    size_t left = Size();
    for (const auto& piece : pieces_) {
      size_t length = left < kStep ? left : kStep;
      sink(std::string_view(piece.get(), length));
      left -= length;
    }
  }

 private:
  void Grow();

  std::vector<std::unique_ptr<char[]>> pieces_;
  char* position_ = nullptr;
  char* end_ = nullptr;
  Sink sink_;
};

}  // namespace tarn
