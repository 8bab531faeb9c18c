// How long the body of an answer is, as its head tells (RFC 9112 6.3).
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn {

struct BodyLength {
  enum Kind {
    kNone,      // the answer carries no body, whatever its length header says
    kAnnounced, // the body is `bytes` long
    kToTheEnd,  // the body ends with its last chunk or with the connection
  };
  Kind kind;
  std::int64_t bytes = 0;  // kAnnounced: at most INT64_MAX, however long the header
};

// The body of an answer to `method` with `status`: none for HEAD, 1xx, 204
// and 304; else framed by its transfer coding when it has one (a
// Content-Length beside it is ignored); else as long as its Content-Length
// (leading blanks, then decimal digits) says; else up to the end.
BodyLength AnswerBodyLength(std::string_view method, std::int32_t status, std::string_view transfer_encoding,
                            std::string_view content_length);

}  // namespace tarn
