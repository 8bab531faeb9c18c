// Response heads from anywhere: header lines, numeric header values, the
// body's length and the Accept-Encoding list are read without failing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/body_length.h"
#include "net/content_coding.h"
#include "net/header_lines.h"

namespace {

std::string Named(std::string& data, bool encode) {
  (void)data;
  return encode ? "gzip" : "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tarn::ResponseHead head;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    head.AddLine(text.substr(0, end == std::string_view::npos ? text.size() : end + 1));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  const std::string raw = head.RawCrlf();
  if (!raw.empty() && !raw.ends_with("\r\n\r\n")) std::abort();
  if (head.StatusCode() < 0 || tarn::HeaderNumberValue(head.Value("Content-Length")) < 0) std::abort();

  const tarn::BodyLength length = tarn::AnswerBodyLength("GET", head.StatusCode(), head.Value("Transfer-Encoding"),
                                                         head.Value("Content-Length"));
  if (length.bytes < 0 || (length.kind != tarn::BodyLength::kAnnounced && length.bytes != 0)) std::abort();
  if (!head.Value("Transfer-Encoding").empty() && length.kind == tarn::BodyLength::kAnnounced) std::abort();
  if (tarn::AnswerBodyLength("HEAD", head.StatusCode(), head.Value("Transfer-Encoding"), head.Value("Content-Length"))
          .kind != tarn::BodyLength::kNone) {
    std::abort();
  }

  const tarn::THttpSocketCompressRecDynArray codings = {{"gzip", Named, 0}, {"deflate", Named, 0}};
  if (tarn::MatchAcceptedCodings(codings, head.Value("Accept-Encoding")) > 3) std::abort();
  tarn::RequestHeaderLines request;
  request.Add(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
