// TWinHTTP's primitives over libcurl: one CurlConnection per object.
#include <utility>

#include "net/curl_connection.h"
#include "net/win_http.h"
#include "platform/os_error.h"

namespace tarn {

struct TWinHTTP::Session {
  template <typename... Arguments>
  explicit Session(Arguments&&... arguments) : connection(std::forward<Arguments>(arguments)...) {}
  CurlConnection connection;
};

void TWinHTTP::SessionDeleter::operator()(Session* session) const noexcept {
  std::default_delete<Session>()(session);
}

void TWinHTTP::OpenSession() {
  session_.reset(
      std::make_unique<Session>(Host(), PortNumber(), Secure(), UserAgent(), ProxyServer(), ProxyBypass()).release());
}

void TWinHTTP::OpenRequest(const std::string& method, const std::string& path) {
  session_->connection.BeginRequest(method, path,
                                    {ResolveTimeout, ConnectTimeout, SendTimeout, ReceiveTimeout, TotalTimeout},
                                    {CheckCertificate, CACertFile});
  const std::string basic = BasicAuthorizationLine();
  if (!basic.empty()) {
    AddHeaderLine(basic);
  } else if (!AuthUser.empty()) {
    session_->connection.UseNtlm(AuthUser, AuthPassword);
  }
}

void TWinHTTP::CloseRequest() noexcept { session_->connection.EndRequest(); }

void TWinHTTP::AddHeaderLine(const std::string& text) {
  if (!session_->connection.AddHeaderLines(text)) RaiseOSError(InvalidArgumentCode());
}

void TWinHTTP::Transmit(const std::string& body) { session_->connection.Send(body); }

std::string TWinHTTP::HeaderText(HttpQuery query) {
  const ResponseHead& head = session_->connection.Head();
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
  if (query == HttpQuery::StatusCode) return session_->connection.Head().StatusCode();
  return HeaderNumberValue(HeaderText(query));
}

std::size_t TWinHTTP::ReadChunk(std::string& buffer, std::size_t offset) {
  return session_->connection.Read(buffer, offset);
}

}  // namespace tarn
