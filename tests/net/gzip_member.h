// Gzip members made by zlib's own gzip writer, independent of the coding
// under test.
#pragma once

#include <zlib.h>

#include <algorithm>
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

// A gzip member of `count` zero bytes, about a thousandth of that long,
// made without holding the zeros.
inline std::string ZlibGzipOfZeros(std::size_t count) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    std::abort();
  }
  const std::string zeros(1 << 20, '\0');
  std::string member(count / 1000 + 1024, '\0');
  stream.next_out = reinterpret_cast<Bytef*>(member.data());
  stream.avail_out = static_cast<uInt>(member.size());
  for (std::size_t left = count; stream.avail_out != 0;) {
    const std::size_t piece = std::min(left, zeros.size());
    left -= piece;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    stream.avail_in = static_cast<uInt>(piece);
    const int code = deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
    if (code == Z_STREAM_END) break;
    if (code != Z_OK || stream.avail_in != 0) std::abort();
  }
  member.resize(stream.total_out);
  deflateEnd(&stream);
  return member;
}

}  // namespace tarn::testing
