// Gzip members made by zlib's own gzip writer, independent of the coding
// under test.
#pragma once

#include <zlib.h>

#include <cstdlib>
#include <string>

namespace tarn::testing {

inline std::string ZlibGzip(const std::string& text, int level = Z_DEFAULT_COMPRESSION) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  std::string member(deflateBound(&stream, text.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(member.data());
  stream.avail_out = static_cast<uInt>(member.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
  member.resize(stream.total_out);
  deflateEnd(&stream);
  return member;
}

}  // namespace tarn::testing
