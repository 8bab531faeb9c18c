// Gzip members made by zlib's own gzip writer, independent of the coding
// under test.
#pragma once

#include <zlib.h>

#include <cstdlib>
#include <string>

namespace tarn::testing {

// zlib's deflate of the whole text in one call: gzip framing for window bits
// above 15, raw deflate for negative ones.
inline std::string ZlibDeflate(const std::string& text, int level, int window_bits, int memory_level = 8) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, window_bits, memory_level, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
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

inline std::string ZlibGzip(const std::string& text, int level = Z_DEFAULT_COMPRESSION) {
  return ZlibDeflate(text, level, MAX_WBITS + 16);
}

}  // namespace tarn::testing
