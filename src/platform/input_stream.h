// A file or standard input read from its start to its end as its bytes
// come, whatever it is: a regular file, a pipe, a terminal, a device. A read
// takes what is there and waits only until something is, so that a reader
// sees the first bytes of a pipe as soon as they are written. Failures raise
// EOSError with the platform's own code for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn {

class InputStream {
 public:
  // Standard input, which stays open.
  InputStream();
  // The file at `path` (UTF-8), closed with the stream.
  explicit InputStream(const std::string& path);
  ~InputStream();
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Up to `size` bytes into `buffer`; 0 only at the end.
  size_t Read(char* buffer, size_t size);
  // The size of a regular file, for a reader to make room for; 0 for
  // anything else, whose size shows only at its end.
  uint64_t SizeHint() const;

 private:
  intptr_t handle_;
  bool owned_;
};

}  // namespace tarn
