// What tarn-json reads: the whole of a file named on the command line, or of
// standard input, with a NUL after it where the parser stops. The parser
// reads a text up to its first NUL byte, so a text holding one would be read
// only in part: it is refused at that byte, as soon as the byte is read. A
// text whose first bytes the parser refuses is refused with the parser's
// error as soon as they are read, and nothing more is read.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tarn {

class InputText {
 public:
  InputText(std::unique_ptr<char[]> bytes, size_t size) noexcept : bytes_(std::move(bytes)), size_(size) {}

  const char* c_str() const noexcept { return bytes_.get(); }
  size_t size() const noexcept { return size_; }
  // Gives the memory back.
  void Release() noexcept {
    bytes_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<char[]> bytes_;
  size_t size_;
};

// The file's bytes. Raises FileArgumentError with the system's reason when
// the file cannot be read (missing, a directory, not readable), TJSONError
// "NUL byte at position %d" at the first NUL, or the parser's error for a
// start it refuses.
InputText ReadFileArgument(const std::string& path);

// Standard input's bytes, refused the same ways; EOSError when it cannot be
// read.
InputText ReadStandardInput();

}  // namespace tarn
