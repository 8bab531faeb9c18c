#include "net/gzip_coding.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "net/content_coding.h"
#include "net/http_errors.h"

namespace tarn {
namespace {

constexpr std::string_view kName = "gzip";
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kTrailerSize = 8;

// The header written on every member: deflate, no flags, no time, OS 0.
constexpr unsigned char kHeader[kHeaderSize] = {0x1F, 0x8B, 0x08, 0, 0, 0, 0, 0, 0, 0};

constexpr unsigned kFlagHeaderCrc = 2;
constexpr unsigned kFlagExtra = 4;
constexpr unsigned kFlagName = 8;
constexpr unsigned kFlagComment = 16;

// Deflate cannot expand a byte to more than 1032 bytes (a 258-byte match in
// two bits); an announced length beyond that is a lie, never an allocation.
constexpr std::uint64_t kMaxExpansion = 1032;
constexpr std::uint64_t kExpansionSlack = 258;
// The first output buffer of a decoding is no larger than this, each later
// one twice the last: the announced length is the sender's word, not a fact.
constexpr std::size_t kFirstOutputStep = std::size_t{1} << 20;

const char* ZlibErrorName(int code) {
  switch (code) {
    case Z_ERRNO: return "Z_ERRNO";
    case Z_STREAM_ERROR: return "Z_STREAM_ERROR";
    case Z_DATA_ERROR: return "Z_DATA_ERROR";
    case Z_BUF_ERROR: return "Z_BUF_ERROR";
    case Z_VERSION_ERROR: return "Z_VERSION_ERROR";
    default: return nullptr;
  }
}

// Anything but stream end or no error fails the whole call.
void CheckZlib(int code, const char* process) {
  if (code == Z_OK || code == Z_STREAM_END) return;
  if (code == Z_MEM_ERROR) throw EOutOfMemory();
  const char* name = ZlibErrorName(code);
  throw EZipException(std::string("Error ") + (name ? name : std::to_string(code)) + " during " + process +
                      " process");
}

std::uint32_t Crc32(const unsigned char* bytes, std::size_t size) {
  uLong crc = crc32_z(0, Z_NULL, 0);
  return static_cast<std::uint32_t>(crc32_z(crc, bytes, size));
}

void PutLittleEndian32(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t GetLittleEndian32(const unsigned char* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

unsigned GetLittleEndian16(const unsigned char* at) { return at[0] | (at[1] << 8); }

// One deflate or inflate stream, always ended when it goes.
class ZStream {
 public:
  template <typename Init>
  ZStream(Init init, int (*end)(z_streamp), const char* process) : end_(end) {
    CheckZlib(init(&stream_), process);
  }
  ~ZStream() { end_(&stream_); }
  ZStream(const ZStream&) = delete;
  ZStream& operator=(const ZStream&) = delete;
  z_stream* operator->() { return &stream_; }
  z_stream* get() { return &stream_; }

 private:
  z_stream stream_{};
  int (*end_)(z_streamp);
};

void Encode(std::string& data) {
  const std::size_t length = data.size();
  std::string member(length + length / 8 + 128, '\0');
  auto* out = reinterpret_cast<unsigned char*>(member.data());
  std::copy(std::begin(kHeader), std::end(kHeader), out);

  const auto* in = reinterpret_cast<const unsigned char*>(data.data());
  std::size_t deflated;
  {
    ZStream stream([](z_streamp raw) { return deflateInit2(raw, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY); },
                   deflateEnd, "CompressMem");
    stream->next_in = const_cast<unsigned char*>(in);
    stream->avail_in = static_cast<uInt>(length);
    stream->next_out = out + kHeaderSize;
    stream->avail_out = static_cast<uInt>(member.size() - kHeaderSize - kTrailerSize);
    CheckZlib(deflate(stream.get(), Z_FINISH), "CompressMem");
    deflated = stream->total_out;
  }
  unsigned char* trailer = out + kHeaderSize + deflated;
  PutLittleEndian32(trailer, Crc32(in, length));
  PutLittleEndian32(trailer + 4, static_cast<std::uint32_t>(length));
  member.resize(kHeaderSize + deflated + kTrailerSize);
  data.swap(member);
}

// The offset of the first deflate byte, or 0 when the header is malformed
// or runs past the member's end.
std::size_t SkipHeader(const unsigned char* member, std::size_t size) {
  const unsigned flags = member[3];
  std::size_t at = kHeaderSize;
  if (flags & kFlagExtra) {
    if (size - at < 2) return 0;
    const std::size_t extra = GetLittleEndian16(member + at);
    at += 2;
    if (size - at < extra) return 0;
    at += extra;
  }
  for (unsigned text_flag : {kFlagName, kFlagComment}) {
    if (!(flags & text_flag)) continue;
    while (at < size && member[at] != 0) ++at;
    if (at < size) ++at;
  }
  if (flags & kFlagHeaderCrc) {
    if (size - at < 2) return 0;
    if (GetLittleEndian16(member + at) != (Crc32(member, at) & 0xFFFF)) return 0;
    at += 2;
  }
  return at;
}

// Empties data, releasing its memory; returns whether it was decoded.
bool Emptied(std::string& data, bool decoded) {
  std::string().swap(data);
  return decoded;
}

// Replaces data with the text the member holds; false, with data emptied,
// when the member is malformed or fails its checks.
bool Decode(std::string& data) {
  const auto* member = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t size = data.size();
  if (size <= kHeaderSize + kTrailerSize || member[0] != 0x1F || member[1] != 0x8B || member[2] != 0x08) {
    return Emptied(data, false);
  }
  const std::size_t start = SkipHeader(member, size);
  if (start == 0 || start + kTrailerSize >= size) return Emptied(data, false);
  const std::size_t deflated = size - kTrailerSize - start;
  const std::uint32_t expected_crc = GetLittleEndian32(member + size - 8);
  const std::uint32_t expected_length = GetLittleEndian32(member + size - 4);
  // A trailer of zeros announces the empty text: nothing to inflate.
  if (expected_crc == 0 && expected_length == 0) return Emptied(data, true);
  if (expected_length > deflated * kMaxExpansion + kExpansionSlack) return Emptied(data, false);

  // The output grows as inflate fills it, up to the announced length, or
  // to one byte past the decoding limit, which tells a text that passes it.
  const std::int64_t most = DecodedSizeLimit::Current();
  const std::size_t room =
      most < static_cast<std::int64_t>(expected_length) ? static_cast<std::size_t>(most) + 1 : expected_length;
  std::string text(std::min(room, kFirstOutputStep), '\0');
  // zlib refuses a null output pointer even when there is no room to write.
  unsigned char none = 0;
  std::size_t produced;
  {
    ZStream stream([](z_streamp raw) { return inflateInit2(raw, -MAX_WBITS); }, inflateEnd, "UnCompressMem");
    stream->next_in = const_cast<unsigned char*>(member + start);
    stream->avail_in = static_cast<uInt>(deflated);
    int code;
    for (;;) {
      const std::size_t done = stream->total_out;
      stream->next_out = text.empty() ? &none : reinterpret_cast<unsigned char*>(text.data()) + done;
      stream->avail_out = static_cast<uInt>(text.size() - done);
      // With finish, a full output gives Z_BUF_ERROR and inflate goes on
      // with more room.
      code = inflate(stream.get(), Z_FINISH);
      if (code != Z_BUF_ERROR || stream->avail_out != 0 || text.size() == room) break;
      text.resize(std::min(room, text.size() * 2));
    }
    produced = stream->total_out;
    if (static_cast<std::int64_t>(produced) > most) RaiseBodyTooLong(most);
    CheckZlib(code, "UnCompressMem");
  }
  text.resize(produced);
  const auto* out = reinterpret_cast<const unsigned char*>(text.data());
  if (produced != expected_length || Crc32(out, produced) != expected_crc) return Emptied(data, false);
  data.swap(text);
  return true;
}

}  // namespace

std::string GzipCoding(std::string& data, bool encode) {
  if (encode) {
    Encode(data);
  } else if (!Decode(data)) {
    return {};
  }
  return std::string(kName);
}

}  // namespace tarn
