#include "net/body_length.h"

#include "net/header_lines.h"

namespace tarn {

BodyLength AnswerBodyLength(std::string_view method, std::int32_t status, std::string_view transfer_encoding,
                            std::string_view content_length) {
  if (method == "HEAD" || (status >= 100 && status < 200) || status == 204 || status == 304) {
    return {BodyLength::kNone};
  }
  if (!TrimBlanks(transfer_encoding).empty()) return {BodyLength::kToTheEnd};
  content_length = TrimBlanks(content_length);
  if (content_length.empty() || content_length.front() < '0' || content_length.front() > '9') {
    return {BodyLength::kToTheEnd};
  }
  std::int64_t bytes = 0;
  for (char c : content_length) {
    if (c < '0' || c > '9') break;
    const int digit = c - '0';
    if (bytes > (INT64_MAX - digit) / 10) return {BodyLength::kAnnounced, INT64_MAX};
    bytes = bytes * 10 + digit;
  }
  return {BodyLength::kAnnounced, bytes};
}

}  // namespace tarn
