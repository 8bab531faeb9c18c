#include "net/win_http_api.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "net/header_lines.h"
#include "net/host_name.h"
#include "net/request_path.h"
#include "platform/os_error.h"

namespace tarn {
namespace {

// A body that announces its length is read into a buffer of that length,
// but no more than this is taken before the bytes arrive: the announcement
// is the server's word, not a fact.
constexpr std::size_t kMaxUpFront = std::size_t{1} << 20;
// Without an announced length the buffer grows by this much per read.
constexpr std::size_t kGrowthStep = 8192;

// Leading spaces, then decimal digits; no number (or one beyond 32 bits)
// gives the scheme's default port.
std::int32_t PortFromText(const std::string& text, bool secure) {
  const std::int32_t default_port = secure ? 443 : 80;
  std::size_t at = text.find_first_not_of(' ');
  std::int64_t port = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    port = port * 10 + (text[at] - '0');
    if (port > INT32_MAX) return default_port;
  }
  return port == 0 ? default_port : static_cast<std::int32_t>(port);
}

// Ends the request on every way out of Execute once it has been opened.
class RequestScope {
 public:
  explicit RequestScope(std::function<void()> close) : close_(std::move(close)) {}
  ~RequestScope() { close_(); }
  RequestScope(const RequestScope&) = delete;
  RequestScope& operator=(const RequestScope&) = delete;

 private:
  std::function<void()> close_;
};

}  // namespace

TWinHttpAPI::TWinHttpAPI(const std::string& host, const std::string& port_text, bool secure,
                         const std::string& proxy_server, const std::string& proxy_bypass)
    : host_(host),
      proxy_server_(proxy_server),
      proxy_bypass_(proxy_bypass),
      port_number_(PortFromText(port_text, secure)),
      secure_(secure) {
  // Refused before any traffic: the HTTP library would read the rest of
  // such a text as user information, a path or a port.
  if (!IsHostNameOrAddress(host_)) RaiseOSError(InvalidArgumentCode());
}

bool TWinHttpAPI::AddCoding(TContentCodingFunc coder, std::int32_t min_size) {
  if (coder == nullptr) return false;
  std::string probe;
  std::string name = coder(probe, true);
  for (THttpSocketCompressRec& coding : codings_) {
    if (coding.Name != name) continue;
    if (coding.Coder == coder) coding.MinSize = min_size;
    return false;
  }
  if (codings_.size() >= kMaxCodings) return false;
  codings_.push_back({name, coder, min_size});
  accept_encoding_line_ += accept_encoding_line_.empty() ? "Accept-Encoding: " + name : "," + name;
  return true;
}

std::string TWinHttpAPI::UserAgent() const {
  return std::string("Mozilla/4.0 (compatible; MSIE 5.5; Windows; ") + ClassName() + ")";
}

std::int32_t TWinHttpAPI::Execute(const std::string& path, const std::string& method, const std::string& headers,
                                  const std::string& body, const std::string& content_type,
                                  std::string& response_headers, std::string& response_body) {
  response_headers.clear();
  // The caller's old text becomes the buffer of the new body: a caller who
  // reuses its text reuses its memory, and bytes that will be overwritten
  // are not zero-filled first. Only what was read is ever shown.
  std::string buffer;
  buffer.swap(response_body);
  OpenRequest(method, RequestPath(path));
  RequestScope scope([this] { CloseRequest(); });

  AddHeaderLine(headers);
  if (!content_type.empty()) AddHeaderLine("Content-Type: " + content_type);
  std::string sent = body;
  if (peer_codings_ != 0) {
    std::string coding = PickRequestCoding(peer_codings_, codings_, content_type, sent);
    if (!coding.empty()) AddHeaderLine("Content-Encoding: " + coding);
  }
  if (!accept_encoding_line_.empty()) AddHeaderLine(accept_encoding_line_);
  Transmit(sent);

  const std::int32_t status = HeaderNumber(HttpQuery::StatusCode);
  response_headers = HeaderText(HttpQuery::RawHeadersCrlf);
  // Some services keep the blanks after a coding's name.
  const std::string content_encoding(TrimBlanks(HeaderText(HttpQuery::ContentEncoding)));
  const std::string accept_encoding = HeaderText(HttpQuery::AcceptEncoding);
  ReadBody(AnswerBodyLength(method, status, HeaderText(HttpQuery::TransferEncoding),
                            HeaderText(HttpQuery::ContentLength)),
           buffer);
  response_body.swap(buffer);
  if (!response_body.empty()) {
    if (!content_encoding.empty()) DecodeBody(content_encoding, response_body);
    if (!accept_encoding.empty()) peer_codings_ = MatchAcceptedCodings(codings_, accept_encoding);
  }
  return status;
}

// Reads into body, whose old bytes are overwritten or cut off.
void TWinHttpAPI::ReadBody(const BodyLength& length, std::string& body) {
  const std::int64_t most = BodyLimit();
  std::size_t total = 0;
  if (length.kind == BodyLength::kAnnounced) {
    if (length.bytes > most) RaiseBodyTooLong(most);
    const auto size = static_cast<std::size_t>(length.bytes);
    body.resize(std::min(size, kMaxUpFront));
    while (total < size) {
      if (total == body.size()) body.resize(std::min(size, body.size() * 2));
      const std::size_t read = ReadChunk(body, total);
      // The connection ended before the announced length.
      if (read == 0) RaiseHttpError(http_error::kConnectionError);
      total += read;
    }
  } else if (length.kind == BodyLength::kToTheEnd) {
    for (;;) {
      if (static_cast<std::int64_t>(total) > most) RaiseBodyTooLong(most);
      // One byte past the limit is room enough to tell a body that is too long.
      body.resize(total + static_cast<std::size_t>(std::min<std::int64_t>(kGrowthStep, most + 1 - total)));
      const std::size_t read = ReadChunk(body, total);
      if (read == 0) break;
      total += read;
    }
  }
  body.resize(total);
}

void TWinHttpAPI::DecodeBody(const std::string& content_encoding, std::string& body) const {
  for (const THttpSocketCompressRec& coding : codings_) {
    if (coding.Name != content_encoding) continue;
    // A coding that honours the limit stops as soon as it is passed; the
    // size of what another one produced is checked once it is done.
    const DecodedSizeLimit limit(BodyLimit());
    if (coding.Coder(body, false).empty()) throw ECrtSocket(coding.Name + " uncompress");
    if (static_cast<std::int64_t>(body.size()) > BodyLimit()) RaiseBodyTooLong(BodyLimit());
    return;
  }
}

}  // namespace tarn
