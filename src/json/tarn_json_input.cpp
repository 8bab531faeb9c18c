#include "json/tarn_json_input.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "json/json_parser.h"
#include "platform/input_stream.h"
#include "platform/portable/command_line.h"

namespace tarn {

namespace {

// Bytes are read, and looked through, at most this many at a time.
constexpr size_t kBlock = size_t{1} << 20;
// The room first taken when the size is not known beforehand (a pipe).
constexpr size_t kFirstRoom = size_t{1} << 16;

// Reads the input to its end. The size a file announces is a hint: the room
// grows when more comes, and one byte beyond it is asked for, so that the
// end is found without growing. Each piece is looked at as it comes, so
// that a NUL, or a start the parser refuses, ends the reading at once: the
// input may be a stream that never ends.
InputText ReadAll(InputStream& input) {
  uint64_t expected = input.SizeHint();
  size_t room = expected == 0 ? kFirstRoom : static_cast<size_t>(expected) + 1;
  auto bytes = std::make_unique_for_overwrite<char[]>(room + 1);
  size_t size = 0;
  TJSONStartCheck start;
  bool begun = false;
  for (;;) {
    if (size == room) {
      auto larger = std::make_unique_for_overwrite<char[]>(room * 2 + 1);
      std::memcpy(larger.get(), bytes.get(), size);
      bytes = std::move(larger);
      room *= 2;
    }
    size_t got = input.Read(bytes.get() + size, std::min(kBlock, room - size));
    if (got == 0) break;
    if (const void* nul = std::memchr(bytes.get() + size, '\0', got)) {
      throw TJSONError("NUL byte at position " + std::to_string(static_cast<const char*>(nul) - bytes.get()));
    }
    size += got;
    if (!begun) begun = start.Check(std::string_view(bytes.get(), size), false) != TJSONStartCheck::kUndecided;
  }
  bytes[size] = '\0';
  return InputText(std::move(bytes), size);
}

}  // namespace

InputText ReadFileArgument(const std::string& path) {
  try {
    InputStream file(path);
    return ReadAll(file);
  } catch (const EOSError& error) {
    throw FileArgumentError(path, error.ErrorCode());
  }
}

InputText ReadStandardInput() {
  InputStream input;
  return ReadAll(input);
}

}  // namespace tarn
