#include "net/rest_client.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "net/gzip_coding.h"

namespace tarn {
namespace {

constexpr int kAttempts = 3;
constexpr std::int32_t kTemporaryRedirect = 302;
constexpr std::chrono::milliseconds kRedirectWait{500};
// Bodies of at least this size are worth compressing on the way out.
constexpr std::int32_t kGzipMinSize = 1024;

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Milliseconds left of a limit of limit_ms since start: 0 when there is no
// limit (limit_ms 0); raises the timeout once none are left.
std::int32_t TimeLeft(std::int32_t limit_ms, Clock::time_point start) {
  if (limit_ms <= 0) return 0;
  const auto spent = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
  if (spent >= limit_ms) RaiseHttpError(http_error::kTimeout);
  return static_cast<std::int32_t>(limit_ms - spent);
}

}  // namespace

std::string StatusLine(const std::string& headers) {
  std::size_t cr = headers.find('\r');
  return cr == std::string::npos ? std::string() : headers.substr(0, cr);
}

TRESTClient::TRESTClient(std::string base_url) : base_url_(std::move(base_url)) {}

TWinHTTP& TRESTClient::ConnectionFor(const TURI& address) {
  if (connection_ && connection_address_.Host == address.Host && connection_address_.PortText == address.PortText &&
      connection_address_.Secure == address.Secure) {
    return *connection_;
  }
  connection_.reset();
  connection_ = std::make_unique<TWinHTTP>(address.Host, address.PortText, address.Secure);
  connection_address_ = address;
  return *connection_;
}

void TRESTClient::Fetch(const std::string& url, bool compress, std::uint32_t timeout, std::string& response) {
  if (url != last_url_ || last_address_.Host.empty()) {
    // Kept only once both are made, so that a failure leaves the pair as
    // it was.
    TURI parsed;
    ParseUri(base_url_.empty() ? url : base_url_ + url, parsed);
    last_url_ = url;
    last_address_ = std::move(parsed);
  }
  const TURI& address = last_address_;
  TWinHTTP& connection = ConnectionFor(address);
  if (compress) connection.AddCoding(GzipCoding, kGzipMinSize);
  // The 32-bit limits of the transport take the unsigned milliseconds as
  // they are, bit for bit.
  connection.ReceiveTimeout = static_cast<std::int32_t>(timeout);
  connection.ResolveTimeout = static_cast<std::int32_t>(timeout / 5);
  connection.SendTimeout = static_cast<std::int32_t>(timeout);
  connection.ConnectTimeout = static_cast<std::int32_t>(timeout / 5);
  connection.MaxBodySize = MaxBodySize;
  connection.CheckCertificate = CheckCertificate;
  connection.CACertFile = CACertFile;

  const Clock::time_point start = Clock::now();
  // The response's old text is left to the transport, which takes it as the
  // buffer of the new body: emptied here, it would be filled with zeros
  // again before every body is read into it.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    last_headers_.clear();
    connection.TotalTimeout = TimeLeft(MaxTime, start);
    last_status_ = connection.Execute(address.Path, "GET", ExtraHeaders, "", "application/json", last_headers_,
                                      response);
    if (last_status_ != kTemporaryRedirect) break;
    std::this_thread::sleep_for(MaxTime > 0 ? std::min(kRedirectWait, milliseconds(TimeLeft(MaxTime, start)))
                                            : kRedirectWait);
  }
  if (last_status_ >= 300) {
    throw ERestClientException(StatusLine(last_headers_) + ":" + response, last_status_);
  }
}

}  // namespace tarn
