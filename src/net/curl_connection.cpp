#include "net/curl_connection.h"

#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <span>

#include "net/curl_errors.h"
#include "net/host_name.h"
#include "net/http_errors.h"
#include "net/proxy_bypass.h"
#include "platform/portable/ascii_text.h"
#include "platform/portable/exceptions.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for the network may last when no limit is nearer; the
// limits are checked again after every wait.
constexpr int kLongestPollMs = 1000;
// libcurl's own connect limit (300 s when given 0) is kept out of the way:
// the request's limits are watched here, each phase on its own.
constexpr long kNoConnectLimitMs = INT32_MAX;
constexpr long kReceiveBufferSize = 64 * 1024;


std::once_flag g_curl_initialised;

// libcurl's global set-up (TLS library included) runs once per process,
// before the first handle; it stays for the life of the process.
void InitialiseCurl() {
  std::call_once(g_curl_initialised, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) RaiseHttpError(http_error::kInternalError);
  });
}

[[noreturn]] void RaiseMultiFailure(CURLMcode code) {
  if (code == CURLM_OUT_OF_MEMORY) throw EOutOfMemory();
  RaiseHttpError(http_error::kInternalError);
}

// The port on the wire: its low 16 bits, 0 standing for the scheme's
// default, as the platform takes it.
std::int32_t WirePort(std::int32_t port, bool secure) {
  const std::int32_t low_bits = port & 0xFFFF;
  return low_bits != 0 ? low_bits : secure ? 443 : 80;
}

std::string UrlHost(const std::string& host) { return IsBareIPv6Address(host) ? "[" + host + "]" : host; }

// The proxy that libcurl takes from the environment for the scheme when it
// is given none: empty when the environment names none.
std::string EnvironmentProxy(bool secure) {
  static constexpr const char* kSecure[] = {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"};
  static constexpr const char* kPlain[] = {"http_proxy", "all_proxy", "ALL_PROXY"};
  for (const char* name : secure ? std::span<const char* const>(kSecure) : std::span<const char* const>(kPlain)) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// Whether the socket's connection stands (TCP has made it).
bool HasPeer(curl_socket_t socket) {
  sockaddr_storage peer{};
  socklen_t size = sizeof peer;
  return ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &size) == 0;
}

// A SOCKS proxy relays the connection as it is, as a tunnel does.
bool IsSocksProxy(std::string_view proxy) {
  return StartsWithAsciiText(proxy, "socks");
}

}  // namespace

CurlConnection::CurlConnection(const std::string& host, std::int32_t port, bool secure,
                               const std::string& user_agent, const std::string& proxy_server,
                               const std::string& proxy_bypass)
    : host_(host), port_(port) {
  InitialiseCurl();
  multi_.reset(curl_multi_init());
  easy_.reset(curl_easy_init());
  if (multi_ == nullptr || easy_ == nullptr) throw EOutOfMemory();
  const std::int32_t wire_port = WirePort(port, secure);
  const std::string server_url = (secure ? "https://" : "http://") + UrlHost(host) + ":" + std::to_string(wire_port);
  curl_easy_setopt(easy_.get(), CURLOPT_URL, server_url.c_str());
  curl_easy_setopt(easy_.get(), CURLOPT_NOSIGNAL, 1L);
  const std::string proxy = SetProxy(proxy_server, proxy_bypass, secure);
  direct_ = proxy.empty();
  // Straight to the server the user agent goes as the first header line,
  // which libcurl sends at less cost than its own option. A tunnelling
  // proxy is shown the option's copy, which header lines do not reach.
  if (!direct_) {
    curl_easy_setopt(easy_.get(), CURLOPT_USERAGENT, user_agent.c_str());
  } else if (!user_agent.empty()) {
    user_agent_line_ = "User-Agent: " + user_agent;
  }
  // The request line carries the path exactly as given ("#", dot segments
  // and the case of escapes kept), which libcurl's URL handling would not:
  // in origin form, or in absolute form towards a proxy that is not a
  // tunnel (plain HTTP through an HTTP proxy).
  if (!direct_ && !secure && !IsSocksProxy(proxy)) {
    target_prefix_ = "http://" + UrlHost(host) + (wire_port == 80 ? "" : ":" + std::to_string(wire_port));
  }
  curl_easy_setopt(easy_.get(), CURLOPT_CONNECTTIMEOUT_MS, kNoConnectLimitMs);
  // A request given up while the name is still being resolved does not
  // wait for the resolver to finish.
  curl_easy_setopt(easy_.get(), CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  // Each request sets whether certificates are checked (see
  // SetCertificateCheck); these are what checking trusts by default.
  curl_easy_getinfo(easy_.get(), CURLINFO_CAINFO, &system_ca_file_);
  curl_easy_getinfo(easy_.get(), CURLINFO_CAPATH, &system_ca_path_);
  curl_easy_setopt(easy_.get(), CURLOPT_ERRORBUFFER, failure_text_);
  // Large answers come in fewer, larger reads than libcurl's 16 KB default.
  curl_easy_setopt(easy_.get(), CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  curl_easy_setopt(easy_.get(), CURLOPT_HEADERFUNCTION, &CurlConnection::OnHeader);
  curl_easy_setopt(easy_.get(), CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_.get(), CURLOPT_WRITEFUNCTION, &CurlConnection::OnBody);
  curl_easy_setopt(easy_.get(), CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_.get(), CURLOPT_PREREQFUNCTION, &CurlConnection::OnConnected);
  curl_easy_setopt(easy_.get(), CURLOPT_PREREQDATA, this);
  curl_easy_setopt(easy_.get(), CURLOPT_SOCKOPTFUNCTION, &CurlConnection::OnSocketOpened);
  curl_easy_setopt(easy_.get(), CURLOPT_SOCKOPTDATA, this);
}

CurlConnection::~CurlConnection() { EndRequest(); }

std::string CurlConnection::SetProxy(const std::string& proxy_server, const std::string& proxy_bypass,
                                     bool secure) {
  // Without a named proxy libcurl follows the environment, whose exceptions
  // may still leave this host out.
  if (proxy_server.empty()) return EnvironmentProxy(secure);
  const bool bypassed = BypassesProxy(proxy_bypass, host_);
  // "" as the proxy goes direct and as the exceptions names none: neither
  // reads the environment's settings.
  curl_easy_setopt(easy_.get(), CURLOPT_PROXY, bypassed ? "" : proxy_server.c_str());
  curl_easy_setopt(easy_.get(), CURLOPT_NOPROXY, "");
  return bypassed ? std::string() : proxy_server;
}

void CurlConnection::BeginRequest(const std::string& method, const std::string& path,
                                  const RequestLimits& limits, const CertificateCheck& check) {
  EndRequest();
  SetCertificateCheck(check);
  failure_text_[0] = '\0';
  method_ = method;
  limits_ = limits;
  head_.Clear();
  socket_ = CURL_SOCKET_BAD;
  connected_ = done_ = out_of_memory_ = head_too_long_ = false;
  head_bytes_ = 0;
  result_ = CURLE_OK;
  // Options are handed to libcurl, which copies their texts, only when they
  // change: most requests repeat the last one's.
  const std::string_view target(request_target_);
  if (target.size() != target_prefix_.size() + path.size() || !target.starts_with(target_prefix_) ||
      !target.ends_with(path)) {
    request_target_ = target_prefix_ + path;
    curl_easy_setopt(easy_.get(), CURLOPT_REQUEST_TARGET, request_target_.c_str());
  }
  if (uses_ntlm_) {
    curl_easy_setopt(easy_.get(), CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(easy_.get(), CURLOPT_USERNAME, nullptr);
    curl_easy_setopt(easy_.get(), CURLOPT_PASSWORD, nullptr);
    uses_ntlm_ = false;
  }
  // What the platform's refresh flag sends: no cache on the way may answer.
  headers_.Add("Accept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache");
}

// The environment's servers use self-signed certificates: unless a request
// asks for checks, any certificate is accepted, whoever issued it, for
// whatever name and dates.
void CurlConnection::SetCertificateCheck(const CertificateCheck& check) {
  if (check_ == check) return;
  CURL* easy = easy_.get();
  const long verify = check.check ? 1L : 0L;
  // 2 checks the name; 1 is no longer offered.
  const long verify_name = check.check ? 2L : 0L;
  const bool own_file = !check.ca_file.empty();
  const char* ca_file = own_file ? check.ca_file.c_str() : system_ca_file_;
  const char* ca_path = own_file ? nullptr : system_ca_path_;
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, verify);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, verify_name);
  curl_easy_setopt(easy, CURLOPT_CAINFO, ca_file);
  curl_easy_setopt(easy, CURLOPT_CAPATH, ca_path);
  curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYPEER, verify);
  curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYHOST, verify_name);
  curl_easy_setopt(easy, CURLOPT_PROXY_CAINFO, ca_file);
  curl_easy_setopt(easy, CURLOPT_PROXY_CAPATH, ca_path);
  check_ = check;
}

void CurlConnection::UseNtlm(const std::string& user, const std::string& password) {
  curl_easy_setopt(easy_.get(), CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_NTLM));
  curl_easy_setopt(easy_.get(), CURLOPT_USERNAME, user.c_str());
  curl_easy_setopt(easy_.get(), CURLOPT_PASSWORD, password.c_str());
  uses_ntlm_ = true;
}

void CurlConnection::Send(const std::string& body) {
  if (direct_ && NeverResolves(host_)) RaiseHttpError(http_error::kNameNotResolved);
  SetHeaderList(SetMethodAndBody(body));
  CURLMcode added = curl_multi_add_handle(multi_.get(), easy_.get());
  if (added != CURLM_OK) RaiseMultiFailure(added);
  attached_ = true;
  uploaded_ = 0;
  watch_.Start(limits_, Clock::now());
  progressed_ = false;
  Drive();
  if (done_ && result_ != CURLE_OK && !BodyWaiting()) RaiseFailure(result_);
}

bool CurlConnection::SetMethodAndBody(const std::string& body) {
  body_size_ = static_cast<curl_off_t>(body.size());
  const bool plain_get = method_ == "GET" && body.empty();
  if (plain_get && plain_get_set_) return false;
  // HTTPGET drops any body and method of the previous request.
  curl_easy_setopt(easy_.get(), CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 0L);
  curl_easy_setopt(easy_.get(), CURLOPT_CUSTOMREQUEST, nullptr);
  plain_get_set_ = plain_get;
  if (method_ == "HEAD" && body.empty()) {
    curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
    return false;
  }
  if (plain_get) return false;
  curl_easy_setopt(easy_.get(), CURLOPT_POSTFIELDSIZE_LARGE, body_size_);
  curl_easy_setopt(easy_.get(), CURLOPT_COPYPOSTFIELDS, body.data());
  if (method_ != "POST") curl_easy_setopt(easy_.get(), CURLOPT_CUSTOMREQUEST, method_.c_str());
  return true;
}

void CurlConnection::SetHeaderList(bool posts_fields) {
  // The body goes out whole, at once, and typed only as the caller says,
  // even when it is empty: libcurl's form type is removed. (Without a body
  // libcurl asks for no go-ahead.)
  if (posts_fields && !headers_.Has("Expect")) headers_.Add("Expect:");
  if (posts_fields && !headers_.Has("Content-Type")) headers_.Add("Content-Type:");
  // The last request's list serves again when its lines are the same, as
  // they mostly are from one request to the next.
  const bool same_lines = posts_fields == listed_posts_fields_ && std::ranges::equal(headers_.Lines(), listed_lines_);
  if (header_list_ == nullptr || !same_lines) {
    CurlList list;
    const auto append = [&list](const char* line) {
      curl_slist* longer = curl_slist_append(list.get(), line);
      if (longer == nullptr) throw EOutOfMemory();
      list.release();
      list.reset(longer);
    };
    // A caller's own user agent replaces the connection's.
    if (!user_agent_line_.empty() && !headers_.Has("User-Agent")) append(user_agent_line_.c_str());
    for (std::size_t i = 0; i < headers_.Lines().size(); ++i) {
      const std::string& line = headers_.Lines()[i];
      const HeaderLineParts& parts = headers_.Parts()[i];
      // libcurl drops "Name:" and sends "Name;" as a header with no value.
      const bool no_value = parts.Value(line).empty();
      const bool removal = line == "Expect:" || (posts_fields && line == "Content-Type:");
      append(no_value && !removal ? (line.substr(0, parts.colon) + ";").c_str() : line.c_str());
    }
    listed_lines_.assign(headers_.Lines().begin(), headers_.Lines().end());
    listed_posts_fields_ = posts_fields;
    header_list_ = std::move(list);
  }
  curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, header_list_.get());
}

std::size_t CurlConnection::Read(std::string& buffer, std::size_t offset) {
  if (offset >= buffer.size()) return 0;
  const std::size_t buffer_size = buffer.size();
  if (offset == 0 && pending_at_ == 0 && !pending_.empty() && pending_.size() <= buffer_size) {
    const std::size_t count = pending_.size();
    buffer.swap(pending_);
    buffer.resize(buffer_size);
    pending_.clear();
    return count;
  }
  char* into = buffer.data() + offset;
  const std::size_t size = buffer_size - offset;
  if (pending_at_ < pending_.size()) {
    std::size_t count = std::min(size, pending_.size() - pending_at_);
    std::memcpy(into, pending_.data() + pending_at_, count);
    pending_at_ += count;
    return count;
  }
  pending_.clear();
  pending_at_ = 0;
  if (attached_ && !done_) {
    target_ = into;
    target_size_ = size;
    delivered_ = 0;
    try {
      Drive();
    } catch (...) {
      target_ = nullptr;
      target_size_ = delivered_ = 0;
      throw;
    }
    const std::size_t delivered = delivered_;
    target_ = nullptr;
    target_size_ = delivered_ = 0;
    if (delivered > 0) return delivered;
  }
  if (result_ != CURLE_OK) RaiseFailure(result_);
  return 0;
}

void CurlConnection::EndRequest() noexcept {
  if (attached_) curl_multi_remove_handle(multi_.get(), easy_.get());
  attached_ = false;
  headers_.Clear();
  pending_.clear();
  pending_at_ = 0;
  delivered_ = 0;
}

// Runs the transfer until body bytes are waiting or it has ended.
void CurlConnection::Drive() {
  for (;;) {
    int running = 0;
    CURLMcode code = curl_multi_perform(multi_.get(), &running);
    if (code != CURLM_OK) RaiseMultiFailure(code);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      done_ = true;
      result_ = message->data.result;
    }
    if (out_of_memory_) throw EOutOfMemory();
    if (head_too_long_) RaiseHttpError(http_error::kHeaderSizeOverflow);
    if (BodyWaiting() || done_) return;
    int events = 0;
    code = curl_multi_poll(multi_.get(), nullptr, 0, PollMilliseconds(), &events);
    if (code != CURLM_OK) RaiseMultiFailure(code);
    // Bytes came (or could go): progress, even before libcurl has a whole
    // header line to show for it.
    if (events > 0) progressed_ = true;
  }
}

// The callbacks only flag what happened; the clock is read here, once per
// wait, and the watch learns of each step at the next wait.
int CurlConnection::PollMilliseconds() {
  const Clock::time_point now = Clock::now();
  if (socket_ != CURL_SOCKET_BAD) watch_.SocketOpened(now);
  // The connection stands once TCP has made it; a TLS handshake after that
  // is part of sending and receiving.
  if (socket_ != CURL_SOCKET_BAD && !connected_) connected_ = HasPeer(socket_);
  if (connected_) {
    if (uploaded_ < body_size_) {
      curl_off_t uploaded = 0;
      curl_easy_getinfo(easy_.get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
      progressed_ = progressed_ || uploaded != uploaded_;
      uploaded_ = uploaded;
    }
    watch_.Connected(now, body_size_ > 0);
    if (uploaded_ >= body_size_) watch_.BodySent(now);
  }
  if (progressed_) watch_.Moved(now);
  progressed_ = false;
  const int wait = watch_.WaitMilliseconds(now, kLongestPollMs);
  if (wait < 0) RaiseHttpError(http_error::kTimeout);
  return wait;
}

void CurlConnection::RaiseFailure(CURLcode code) {
  CurlTransferState state;
  state.connected = connected_;
  state.in_head = connected_ && !head_.Complete();
  curl_easy_getinfo(easy_.get(), CURLINFO_OS_ERRNO, &state.os_errno);
  curl_easy_getinfo(easy_.get(), CURLINFO_SSL_VERIFYRESULT, &state.verify_result);
  const CurlFailure failure = ClassifyCurlFailure(code, state);
  switch (failure.kind) {
    case CurlFailure::kOutOfMemory: throw EOutOfMemory();
    case CurlFailure::kCannotConnect: RaiseCannotConnect(host_, port_);
    case CurlFailure::kHttpError: RaiseHttpError(failure.code);
    case CurlFailure::kSecurityFailure: {
      // WinHTTP's text says what kind of fault it is; libcurl's words, from
      // the TLS library, say which.
      const std::string text = DocumentedHttpErrorText(failure.code);
      throw EOSError(failure.code, failure_text_[0] == '\0' ? text : text + " (" + failure_text_ + ")");
    }
  }
  RaiseHttpError(http_error::kInternalError);
}

std::size_t CurlConnection::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* connection = static_cast<CurlConnection*>(self);
  connection->head_bytes_ += size * count;
  if (connection->head_bytes_ > kMostHeadBytes) {
    connection->head_too_long_ = true;
    return 0;
  }
  try {
    connection->head_.AddLine(std::string_view(data, size * count));
  } catch (const std::bad_alloc&) {
    connection->out_of_memory_ = true;
    return 0;
  }
  connection->progressed_ = true;
  return size * count;
}

std::size_t CurlConnection::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* connection = static_cast<CurlConnection*>(self);
  std::size_t bytes = size * count;
  if (connection->delivered_ < connection->target_size_) {
    std::size_t fits = std::min(bytes, connection->target_size_ - connection->delivered_);
    std::memcpy(connection->target_ + connection->delivered_, data, fits);
    connection->delivered_ += fits;
    data += fits;
    bytes -= fits;
  }
  try {
    connection->pending_.append(data, bytes);
  } catch (const std::bad_alloc&) {
    connection->out_of_memory_ = true;
    return 0;
  }
  connection->progressed_ = true;
  return size * count;
}

int CurlConnection::OnSocketOpened(void* self, curl_socket_t socket, curlsocktype) {
  static_cast<CurlConnection*>(self)->socket_ = socket;
  return CURL_SOCKOPT_OK;
}

int CurlConnection::OnConnected(void* self, char*, char*, int, int) {
  auto* connection = static_cast<CurlConnection*>(self);
  connection->connected_ = true;
  connection->progressed_ = true;
  return CURL_PREREQFUNC_OK;
}

}  // namespace tarn
