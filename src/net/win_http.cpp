#include "net/win_http.h"

#include "net/base64.h"
#include "net/curl_connection.h"
#include "platform/os_error.h"

namespace tarn {

TWinHTTP::TWinHTTP(const std::string& host, const std::string& port_text, bool secure,
                   const std::string& proxy_server, const std::string& proxy_bypass)
    : TWinHttpAPI(host, port_text, secure, proxy_server, proxy_bypass) {
  OpenSession();
}

TWinHTTP::~TWinHTTP() = default;

void TWinHTTP::OpenSession() {
  connection_ = std::make_unique<CurlConnection>(Host(), PortNumber(), Secure(), UserAgent(), ProxyServer(),
                                                 ProxyBypass());
}

void TWinHTTP::OpenRequest(const std::string& method, const std::string& path) {
  connection_->BeginRequest(method, path, {ResolveTimeout, ConnectTimeout, SendTimeout, ReceiveTimeout});
  if (AuthUser.empty()) return;
  if (AuthUser.starts_with("basic:")) {
    AddHeaderLine("Authorization:basic " + Base64Encode(AuthUser.substr(6) + ":" + AuthPassword));
  } else {
    connection_->UseNtlm(AuthUser, AuthPassword);
  }
}

void TWinHTTP::CloseRequest() noexcept { connection_->EndRequest(); }

void TWinHTTP::AddHeaderLine(const std::string& text) {
  if (!connection_->AddHeaderLines(text)) RaiseOSError(InvalidArgumentCode());
}

void TWinHTTP::Transmit(const std::string& body) { connection_->Send(body); }

std::string TWinHTTP::HeaderText(HttpQuery query) {
  const ResponseHead& head = connection_->Head();
  switch (query) {
    case HttpQuery::RawHeadersCrlf: return head.RawCrlf();
    case HttpQuery::StatusCode: {
      const std::int32_t status = head.StatusCode();
      return status == 0 ? std::string() : std::to_string(status);
    }
    case HttpQuery::ContentLength: return head.Value("Content-Length");
    case HttpQuery::AcceptEncoding: return head.Value("Accept-Encoding");
    case HttpQuery::ContentEncoding: return head.Value("Content-Encoding");
    case HttpQuery::TransferEncoding: return head.Value("Transfer-Encoding");
  }
  return {};
}

std::int32_t TWinHTTP::HeaderNumber(HttpQuery query) {
  if (query == HttpQuery::StatusCode) return connection_->Head().StatusCode();
  return HeaderNumberValue(HeaderText(query));
}

std::size_t TWinHTTP::ReadChunk(std::string& buffer, std::size_t offset) { return connection_->Read(buffer, offset); }

}  // namespace tarn
