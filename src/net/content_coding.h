// Content codings registered on a connection, and the two decisions made
// from them: which codings the server accepts, and which one encodes a
// request body.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// With encode true, replaces data with its encoded form; with encode false,
// with its decoded form. Returns the coding's name, or an empty text when
// it cannot decode. Called on an empty text with encode true, it tells its
// name.
using TContentCodingFunc = std::string (*)(std::string& data, bool encode);

struct THttpSocketCompressRec {
  std::string Name;
  TContentCodingFunc Coder = nullptr;
  // Smallest text body that is encoded; 0 encodes every body, whatever its
  // type and size.
  std::int32_t MinSize = 0;
};

using THttpSocketCompressRecDynArray = std::vector<THttpSocketCompressRec>;

// Bit i stands for the coding at index i of the registered codings.
using THttpSocketCompressSet = std::uint32_t;

constexpr std::size_t kMaxCodings = 32;

// The codings named in the value of an Accept-Encoding header; parameters
// such as quality values are ignored and names compare exactly.
THttpSocketCompressSet MatchAcceptedCodings(const THttpSocketCompressRecDynArray& codings, std::string_view value);

// Encodes body in place with the first registered coding that the server
// accepts and that takes this body (a text type of at least its MinSize, or
// any body when MinSize is 0); returns that coding's name, or an empty text
// and an unchanged body when none qualifies.
std::string PickRequestCoding(THttpSocketCompressSet peer_codings, const THttpSocketCompressRecDynArray& codings,
                              std::string_view content_type, std::string& body);

// The most bytes a coding may produce when it decodes on this thread while
// the limit stands. The transport sets its body limit around each decoding;
// a coding that honours it (gzip does) raises the too-long-body error
// (http_errors.h) as soon as its output passes the limit, so that a small
// answer that inflates enormously never takes more memory than the limit.
// Limits nest; the innermost stands.
class DecodedSizeLimit {
 public:
  explicit DecodedSizeLimit(std::int64_t most) noexcept;
  ~DecodedSizeLimit();
  DecodedSizeLimit(const DecodedSizeLimit&) = delete;
  DecodedSizeLimit& operator=(const DecodedSizeLimit&) = delete;

  // The limit standing on this thread; INT64_MAX when there is none.
  static std::int64_t Current() noexcept;

 private:
  std::int64_t outer_;
};

}  // namespace tarn
