#include "json/tarn_json_input.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <utility>

#include "json/json_value.h"
#include "platform/os_error.h"
#include "platform/portable/command_line.h"

namespace tarn {

namespace {

// Bytes are read, and looked through for a NUL, this many at a time.
constexpr size_t kBlock = size_t{1} << 20;
// The room first taken when the size is not known beforehand (a pipe).
constexpr size_t kFirstRoom = size_t{1} << 16;

// Reads the stream to its end. `expected` is the size it announced, a hint:
// the room grows when more comes, and one byte beyond it is asked for, so
// that the end is found without growing. False when reading failed.
bool ReadAll(std::istream& in, size_t expected, std::unique_ptr<char[]>& bytes, size_t& size) {
  size_t room = expected == 0 ? kFirstRoom : expected + 1;
  bytes = std::make_unique_for_overwrite<char[]>(room + 1);
  size = 0;
  for (;;) {
    if (size == room) {
      auto larger = std::make_unique_for_overwrite<char[]>(room * 2 + 1);
      std::memcpy(larger.get(), bytes.get(), size);
      bytes = std::move(larger);
      room *= 2;
    }
    size_t wanted = std::min(kBlock, room - size);
    in.read(bytes.get() + size, static_cast<std::streamsize>(wanted));
    auto got = static_cast<size_t>(in.gcount());
    if (const void* nul = std::memchr(bytes.get() + size, '\0', got)) {
      throw TJSONError("NUL byte at position " +
                       std::to_string(size + static_cast<size_t>(static_cast<const char*>(nul) - (bytes.get() + size))));
    }
    size += got;
    if (got < wanted) break;
  }
  bytes[size] = '\0';
  return !in.bad();
}

}  // namespace

InputText ReadFileArgument(const std::string& path) {
  // The argument is UTF-8 on Windows, which the wide name of the path takes
  // whole; elsewhere its bytes are the name.
  std::filesystem::path name(std::u8string(path.begin(), path.end()));
  std::ifstream file(name, std::ios::binary);
  if (!file) throw FileArgumentError(path, LastOSErrorCode());
  std::error_code no_size;
  uintmax_t expected = std::filesystem::file_size(name, no_size);
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
  // A folder opens, and refuses the first read with its reason.
  if (!ReadAll(file, no_size ? 0 : static_cast<size_t>(expected), bytes, size)) {
    throw FileArgumentError(path, LastOSErrorCode());
  }
  return InputText(std::move(bytes), size);
}

InputText ReadStandardInput() {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
  if (!ReadAll(std::cin, 0, bytes, size)) RaiseLastOSError();
  return InputText(std::move(bytes), size);
}

}  // namespace tarn
