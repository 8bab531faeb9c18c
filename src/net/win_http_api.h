// The HTTP transport's request algorithm, independent of the HTTP library
// underneath. A connection object is bound to one server and performs any
// number of requests on it, one at a time, negotiating content codings:
// it announces the registered codings, decodes answers that use one, and
// encodes request bodies once the server has said it accepts a coding.
//
// A derived class supplies the eight primitive steps. Its constructor must
// end by calling OpenSession(), so that a constructed object is ready.
//
// Thread safety: one request at a time per object; objects are independent.
#pragma once

#include <cstdint>
#include <string>

#include "net/body_length.h"
#include "net/content_coding.h"
#include "net/http_errors.h"

namespace tarn {

// What a header query asks for; the values are the platform's information
// levels.
enum class HttpQuery : std::uint32_t {
  ContentLength = 5,
  StatusCode = 19,
  RawHeadersCrlf = 22,
  AcceptEncoding = 26,
  ContentEncoding = 29,
  TransferEncoding = 63,
};

class TWinHttpAPI {
 public:
  virtual ~TWinHttpAPI() = default;
  TWinHttpAPI(const TWinHttpAPI&) = delete;
  TWinHttpAPI& operator=(const TWinHttpAPI&) = delete;

  // Registers a coding; true only when a new one was added. A coding of a
  // registered name is not added again (the same function updates MinSize).
  bool AddCoding(TContentCodingFunc coder, std::int32_t min_size);

  // One complete request. path gets a leading "/" when it lacks one and is
  // escaped as the platform escapes it (see request_path.h); headers may
  // hold several lines separated by CR LF. Returns the status
  // code (0 when the answer has none) with the raw response headers and the
  // decoded body. HTTP error statuses are returned, not raised. A body
  // shorter than its announced length raises EOSError (12030), one longer
  // than MaxBodySize ECrtSocket.
  std::int32_t Execute(const std::string& path, const std::string& method, const std::string& headers,
                       const std::string& body, const std::string& content_type, std::string& response_headers,
                       std::string& response_body);

  // "Mozilla/4.0 (compatible; MSIE 5.5; Windows; <class name>)".
  std::string UserAgent() const;
  virtual const char* ClassName() const noexcept = 0;

  const std::string& Host() const noexcept { return host_; }
  const std::string& ProxyServer() const noexcept { return proxy_server_; }
  const std::string& ProxyBypass() const noexcept { return proxy_bypass_; }
  std::int32_t PortNumber() const noexcept { return port_number_; }
  bool Secure() const noexcept { return secure_; }
  const THttpSocketCompressRecDynArray& Codings() const noexcept { return codings_; }
  const std::string& AcceptEncodingLine() const noexcept { return accept_encoding_line_; }
  THttpSocketCompressSet PeerCodings() const noexcept { return peer_codings_; }

  // Milliseconds, applied to every later request; 0 is no limit. Each
  // bounds one phase of a request (see request_watch.h): a body that keeps
  // coming, however slowly, is not cut by them.
  std::int32_t ResolveTimeout = 0;
  std::int32_t ConnectTimeout = 60000;
  std::int32_t SendTimeout = 30000;
  std::int32_t ReceiveTimeout = 30000;
  // Milliseconds that a whole request may last, from its opening to the
  // last byte of its body; 0 is no limit. Past it EOSError 12002 is raised.
  std::int32_t TotalTimeout = 0;
  // The longest body taken, in bytes, as received and as decoded; a longer
  // one raises ECrtSocket (one announced as longer, before it is read; one
  // that decodes to more, as soon as the decoding passes the limit, so that
  // memory stays within a small multiple of it). By default the longest a
  // 32-bit length holds.
  std::int32_t MaxBodySize = INT32_MAX;
  // Whether the server's certificate is checked. By default it is not: any
  // certificate is accepted, whoever issued it, for whatever name and
  // dates, as the environment's servers with certificates of their own
  // need. Checked, a certificate that no trusted authority issued, issued
  // to another name than Host, or out of its dates fails the request with
  // EOSError, whose code and text say which (12045, 12038, 12037...). A
  // connection kept from requests that checked otherwise is not reused.
  // (Wine's WinHTTP says only 12157, a failure of the secure channel; and,
  // as it keeps connections for the whole process and does not check a
  // kept one again, a request that checks may reuse a connection that one
  // which did not check made to the same server.)
  bool CheckCertificate = false;
  // When checking: a file of the authorities to trust (PEM), in place of
  // the system's trust store; empty for the system's. WinHTTP trusts the
  // Windows certificate store only and takes no file: on Windows a request
  // with one raises ECrtSocket (kNoCAFileMessage) before anything is sent.
  std::string CACertFile;

 protected:
  // host: a host name or an IP address, anything else raises EOSError
  // (see host_name.h). port_text: leading spaces, then decimal digits up to
  // the first other character; 0 or none gives 443 when secure and 80
  // otherwise.
  TWinHttpAPI(const std::string& host, const std::string& port_text, bool secure, const std::string& proxy_server,
              const std::string& proxy_bypass);

  virtual void OpenSession() = 0;
  virtual void OpenRequest(const std::string& method, const std::string& path) = 0;
  virtual void CloseRequest() noexcept = 0;
  virtual void AddHeaderLine(const std::string& text) = 0;
  virtual void Transmit(const std::string& body) = 0;
  // Header queries never fail: a missing header is an empty text or 0.
  virtual std::string HeaderText(HttpQuery query) = 0;
  virtual std::int32_t HeaderNumber(HttpQuery query) = 0;
  // Reads body bytes into buffer from offset on, at most up to its size;
  // returns the count read, 0 at the end of the body. The buffer may come
  // back in other memory of the same size, its bytes before offset kept.
  virtual std::size_t ReadChunk(std::string& buffer, std::size_t offset) = 0;

 private:
  void ReadBody(const BodyLength& length, std::string& body);
  std::int64_t BodyLimit() const noexcept { return MaxBodySize > 0 ? MaxBodySize : 0; }
  void DecodeBody(const std::string& content_encoding, std::string& body) const;

  std::string host_;
  std::string proxy_server_;
  std::string proxy_bypass_;
  std::int32_t port_number_;
  bool secure_;
  THttpSocketCompressRecDynArray codings_;
  std::string accept_encoding_line_;
  THttpSocketCompressSet peer_codings_ = 0;
};

}  // namespace tarn
