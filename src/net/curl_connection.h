// One server connection over libcurl, the HTTP library under TWinHTTP.
//
// The platform's session / connection / request split maps onto libcurl
// as: session = a multi handle, which keeps the open connections;
// connection = one easy handle, configured once (user agent, proxy,
// certificates) and reused for every request, so that consecutive requests
// share the TCP or TLS connection; request = that easy handle attached to
// the multi handle. Send() returns once the head of the answer is in, and
// Read() takes the body as it arrives, so memory follows what the server
// really sends, not what it announces.
//
// Proxies: a named proxy is used unless the bypass list (the platform's
// syntax, see proxy_bypass.h) names the host; the environment's proxy
// settings are then not read. Without a named proxy the environment's
// settings apply, as libcurl reads them, and the bypass list is not read.
//
// Certificates: accepted whatever they are unless a request asks for them to
// be checked, against the system's trust store (libcurl's own bundle and
// folder) or a file of authorities that replaces it; the certificate of an
// HTTPS proxy is checked alike. A connection made under other checks is
// not reused.
//
// Limits: see request_watch.h; the connection stands once TCP has made it,
// and any byte that arrives is progress. An answer's heads may take 64 KB.
//
// Failures: a server that cannot be reached raises EWinHTTP; a failure of
// libcurl, a name that does not resolve included, raises EOSError with the
// code and text of the same failure of WinHTTP (see curl_errors.h);
// libcurl's memory error raises EOutOfMemory.
#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/header_lines.h"
#include "net/request_watch.h"

namespace tarn {

// Whether a request checks the server's certificate, and against what.
struct CertificateCheck {
  bool check = false;
  std::string ca_file;  // PEM authorities; empty for the system's trust store
  bool operator==(const CertificateCheck&) const = default;
};

class CurlConnection {
 public:
  // host is a host name or an IP address (see host_name.h); the low 16 bits
  // of port are used, 0 standing for the scheme's default port. An empty
  // proxy_server leaves the default: the proxy variables of the environment
  // (http_proxy, https_proxy, no_proxy), as libcurl reads them.
  CurlConnection(const std::string& host, std::int32_t port, bool secure, const std::string& user_agent,
                 const std::string& proxy_server, const std::string& proxy_bypass);
  ~CurlConnection();
  CurlConnection(const CurlConnection&) = delete;
  CurlConnection& operator=(const CurlConnection&) = delete;

  // Starts a request without credentials; the answer may come from nowhere
  // but the server (caches are asked not to answer). path goes on the wire
  // as given: it begins with "/" and holds no blanks or control bytes.
  void BeginRequest(const std::string& method, const std::string& path, const RequestLimits& limits,
                    const CertificateCheck& check);
  void UseNtlm(const std::string& user, const std::string& password);
  // Header lines as RequestHeaderLines takes them; false for a line
  // without a ":".
  bool AddHeaderLines(std::string_view text) { return headers_.Add(text); }
  // Sends the request with its whole body and waits for the answer's head.
  void Send(const std::string& body);
  const ResponseHead& Head() const noexcept { return head_; }
  // Reads body bytes into buffer from offset on, up to its size; 0 at the
  // end of the body. Bytes that came before the read and fill the buffer
  // from its start are handed over with their memory instead of copied;
  // the buffer's old memory then takes the next bytes that come early.
  std::size_t Read(std::string& buffer, std::size_t offset);
  // Ends the request; a request ended before its answer was read drops the
  // connection, which the next request then makes anew.
  void EndRequest() noexcept;

 private:
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  static int OnConnected(void* self, char* remote_ip, char* local_ip, int remote_port, int local_port);
  static int OnSocketOpened(void* self, curl_socket_t socket, curlsocktype purpose);

  // Sets the proxy of every request; returns the one in the way, empty for
  // a direct connection.
  std::string SetProxy(const std::string& proxy_server, const std::string& proxy_bypass, bool secure);

  // Returns whether libcurl posts the body as fields (and would type it).
  bool SetMethodAndBody(const std::string& body);
  void SetHeaderList(bool posts_fields);
  void SetCertificateCheck(const CertificateCheck& check);
  void Drive();
  bool BodyWaiting() const noexcept { return delivered_ > 0 || pending_at_ < pending_.size(); }
  int PollMilliseconds();
  [[noreturn]] void RaiseFailure(CURLcode code);

  std::string host_;
  std::int32_t port_;
  // Whether no proxy can be in the way: the host's name is resolved here.
  // (With the environment's proxy, whose exceptions libcurl reads, it is
  // false.)
  bool direct_ = true;
  // Put in front of the path in the request line: empty, or the server's
  // URL for the absolute form that a proxy takes.
  std::string target_prefix_;
  std::string request_target_;  // as libcurl has it
  // "User-Agent: " and the agent, sent as a header line; empty when the
  // agent is libcurl's option.
  std::string user_agent_line_;
  bool uses_ntlm_ = false;       // libcurl has the last request's credentials
  // The checks libcurl has, from the first request on.
  std::optional<CertificateCheck> check_;
  // libcurl's own trust store, which a file of authorities replaces.
  const char* system_ca_file_ = nullptr;
  const char* system_ca_path_ = nullptr;
  // libcurl's words for the failure of the request, kept for a refused
  // certificate.
  char failure_text_[CURL_ERROR_SIZE] = {};
  bool plain_get_set_ = false;   // libcurl's method options are a plain GET's
  struct ListFreer {
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
  };
  struct MultiCloser {
    void operator()(CURLM* multi) const noexcept { curl_multi_cleanup(multi); }
  };
  struct EasyCloser {
    void operator()(CURL* easy) const noexcept { curl_easy_cleanup(easy); }
  };
  using CurlList = std::unique_ptr<curl_slist, ListFreer>;

  // The header list handed to libcurl, kept from one request to the next
  // with the lines it was made from. Owners free in the reverse order: the
  // easy handle, the multi handle, then the list the easy handle used.
  CurlList header_list_;
  std::unique_ptr<CURLM, MultiCloser> multi_;
  std::unique_ptr<CURL, EasyCloser> easy_;
  std::vector<std::string> listed_lines_;
  bool listed_posts_fields_ = false;

  RequestHeaderLines headers_;
  ResponseHead head_;
  std::string method_;
  RequestLimits limits_;
  RequestWatch watch_;
  bool attached_ = false;
  // The last socket libcurl opened for the request, whose connection it
  // waits for; none while the name is being resolved or the connection is
  // reused.
  curl_socket_t socket_ = CURL_SOCKET_BAD;
  bool connected_ = false;
  bool done_ = false;
  bool out_of_memory_ = false;
  std::size_t head_bytes_ = 0;  // of the answer's heads so far
  bool head_too_long_ = false;
  bool progressed_ = false;
  CURLcode result_ = CURLE_OK;
  // Body bytes arrive straight in the buffer of the Read under way
  // (target_), up to its size; what does not fit, or comes when no Read is
  // under way, waits in pending_.
  char* target_ = nullptr;
  std::size_t target_size_ = 0;
  std::size_t delivered_ = 0;
  std::string pending_;
  std::size_t pending_at_ = 0;
  curl_off_t body_size_ = 0;
  curl_off_t uploaded_ = 0;
};

}  // namespace tarn
