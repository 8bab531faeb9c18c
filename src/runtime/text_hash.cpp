#include "runtime/text_hash.h"

#include "platform/portable/ascii_text.h"

namespace tarn {

namespace {

uint32_t Word16(const char* p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8;
}

// A tail byte enters the hash as a signed char, widened with its sign.
uint32_t SignExtended(char c) { return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))); }

}  // namespace

uint32_t SuperFastHash(std::string_view text) {
  if (text.empty()) return 0;
  uint32_t hash = static_cast<uint32_t>(text.size());
  const char* p = text.data();
  for (size_t words = text.size() / 4; words > 0; --words, p += 4) {
    hash += Word16(p);
    uint32_t mixed = (Word16(p + 2) << 11) ^ hash;
    hash = (hash << 16) ^ mixed;
    hash += hash >> 11;
  }
  switch (text.size() & 3) {
    case 3:
      hash += Word16(p);
      hash ^= hash << 16;
      hash ^= SignExtended(p[2]) << 18;
      hash += hash >> 11;
      break;
    case 2:
      hash += Word16(p);
      hash ^= hash << 11;
      hash += hash >> 17;
      break;
    case 1:
      hash += SignExtended(p[0]);
      hash ^= hash << 10;
      hash += hash >> 1;
      break;
  }
  hash ^= hash << 3;
  hash += hash >> 5;
  hash ^= hash << 4;
  hash += hash >> 17;
  hash ^= hash << 25;
  hash += hash >> 6;
  return hash;
}

uint32_t CaseInsensitiveHash(std::string_view text) {
  uint32_t hash = 0;
  for (char c : text) {
    hash += static_cast<unsigned char>(AsciiUpper(c));
    hash += hash << 10;
    hash ^= hash >> 6;
  }
  return hash;
}

}  // namespace tarn
