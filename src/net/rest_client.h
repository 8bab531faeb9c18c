// TRESTClient: GET calls to a JSON web service. The client keeps one
// transport connection and reuses it while the calls go to the same host,
// port and scheme; it retries temporary redirects (302) and raises
// ERestClientException for statuses of 300 and above.
//
// Thread safety: one call at a time per client.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/uri.h"
#include "net/win_http.h"
#include "platform/portable/exceptions.h"

namespace tarn {

// A call answered with a status of 300 or more: "<status line>:<body>".
class ERestClientException : public Exception {
 public:
  ERestClientException(std::string message, std::int32_t status_code)
      : Exception(std::move(message)), status_code_(status_code) {}
  std::int32_t StatusCode() const noexcept { return status_code_; }
  const char* ClassName() const noexcept override { return "ERestClientException"; }

 private:
  std::int32_t status_code_;
};

class TRESTClient {
 public:
  // base_url is put in front of every call's address; it may be empty.
  explicit TRESTClient(std::string base_url);

  // GETs BaseUrl + url with the content type "application/json". compress
  // registers the gzip coding on the connection (it stays registered for
  // the connection's life). timeout (ms) bounds sending and receiving; a
  // fifth of it bounds resolving and connecting. A 302 answer is asked
  // again after 500 ms, three times at most. On return response holds the
  // decoded body, LastStatus() and LastHeaders() the last attempt's status
  // and headers. Raises ERestClientException for a status of 300 or more
  // (response, LastStatus and LastHeaders are set first); transport
  // failures pass through unchanged and the connection stays for the next
  // call.
  void Fetch(const std::string& url, bool compress, std::uint32_t timeout, std::string& response);

  std::string ExtraHeaders;  // header lines sent with every call, CR LF apart
  // Milliseconds that one Fetch may last, its redirects and their waits
  // included; 0 is no limit. Past it EOSError 12002 is raised.
  std::int32_t MaxTime = 0;
  // The longest body taken, in bytes (see TWinHttpAPI::MaxBodySize).
  std::int32_t MaxBodySize = INT32_MAX;
  // Whether the server's certificate is checked, by default not, and the
  // file of authorities trusted when it is (see TWinHttpAPI).
  bool CheckCertificate = false;
  std::string CACertFile;

  const std::string& BaseUrl() const noexcept { return base_url_; }
  const std::string& LastHeaders() const noexcept { return last_headers_; }
  std::int32_t LastStatus() const noexcept { return last_status_; }
  // The connection of the last call, or null before the first one.
  const TWinHTTP* Connection() const noexcept { return connection_.get(); }
  const TURI& ConnectionAddress() const noexcept { return connection_address_; }

 private:
  TWinHTTP& ConnectionFor(const TURI& address);

  std::string base_url_;
  // The last call's address as given and as read: calls mostly repeat it.
  std::string last_url_;
  TURI last_address_;
  std::string last_headers_;
  std::unique_ptr<TWinHTTP> connection_;
  TURI connection_address_;
  std::int32_t last_status_ = 0;
};

// The first line of raw response headers: the text before the first CR,
// empty when there is none.
std::string StatusLine(const std::string& headers);

}  // namespace tarn
