#include "net/curl_connection.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>

#include "net/http_errors.h"
#include "platform/exceptions.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for the network may last when no limit is nearer; the
// limits are checked again after every wait.
constexpr int kLongestPollMs = 1000;
constexpr long kReceiveBufferSize = 64 * 1024;

std::once_flag g_curl_initialised;

// libcurl's global set-up (TLS library included) runs once per process,
// before the first handle; it stays for the life of the process.
void InitialiseCurl() {
  std::call_once(g_curl_initialised, [] {
    CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (code != CURLE_OK) throw EOSError(EIO, curl_easy_strerror(code));
  });
}

// libcurl resolves and connects in one phase with one limit,
// CURLOPT_CONNECTTIMEOUT_MS; it gets the sum of the two. When either is 0
// (no limit) the phase has no limit of ours, and libcurl's built-in limit
// of 300 s is all that remains.
long ConnectPhaseLimit(const CurlTimeouts& timeouts) {
  if (timeouts.resolve <= 0 || timeouts.connect <= 0) return 0;
  return static_cast<long>(timeouts.resolve) + timeouts.connect;
}

// The code of the operating-system error raised for a libcurl failure;
// the message is libcurl's own text.
int ErrnoFor(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return ETIMEDOUT;
    case CURLE_SEND_ERROR: return EPIPE;
    case CURLE_RECV_ERROR: return ECONNRESET;
    case CURLE_URL_MALFORMAT:
    case CURLE_BAD_FUNCTION_ARGUMENT: return EINVAL;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER: return EPROTO;
    case CURLE_UNSUPPORTED_PROTOCOL: return EPROTONOSUPPORT;
    default: return EIO;
  }
}

[[noreturn]] void RaiseMultiFailure(CURLMcode code) {
  if (code == CURLM_OUT_OF_MEMORY) throw EOutOfMemory();
  throw EOSError(EIO, curl_multi_strerror(code));
}

}  // namespace

CurlConnection::CurlConnection(const std::string& host, std::int32_t port, bool secure,
                               const std::string& user_agent, const std::string& proxy_server,
                               const std::string& proxy_bypass)
    : host_(host),
      port_(port),
      base_url_((secure ? "https://" : "http://") + host + ":" + std::to_string(port & 0xFFFF)) {
  InitialiseCurl();
  multi_ = curl_multi_init();
  easy_ = curl_easy_init();
  if (multi_ == nullptr || easy_ == nullptr) {
    curl_easy_cleanup(easy_);
    curl_multi_cleanup(multi_);
    throw EOutOfMemory();
  }
  curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, error_);
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_USERAGENT, user_agent.c_str());
  if (!proxy_server.empty()) curl_easy_setopt(easy_, CURLOPT_PROXY, proxy_server.c_str());
  if (!proxy_bypass.empty()) curl_easy_setopt(easy_, CURLOPT_NOPROXY, proxy_bypass.c_str());
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  // The environment's servers use self-signed certificates: any certificate
  // is accepted, whoever issued it, for whatever name and dates.
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(easy_, CURLOPT_PROXY_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy_, CURLOPT_PROXY_SSL_VERIFYHOST, 0L);
  // Large answers come in fewer, larger reads than libcurl's 16 KB default.
  curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  // The path goes out as given, without libcurl's "." and ".." folding.
  curl_easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlConnection::OnHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlConnection::OnBody);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &CurlConnection::OnConnected);
  curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
}

CurlConnection::~CurlConnection() {
  EndRequest();
  curl_easy_cleanup(easy_);
  curl_multi_cleanup(multi_);
}

void CurlConnection::BeginRequest(const std::string& method, const std::string& path,
                                  const CurlTimeouts& timeouts) {
  EndRequest();
  method_ = method;
  timeouts_ = timeouts;
  head_.Clear();
  error_[0] = '\0';
  connected_ = done_ = out_of_memory_ = false;
  result_ = CURLE_OK;
  const std::string url = base_url_ + path;
  curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, ConnectPhaseLimit(timeouts));
  curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
  curl_easy_setopt(easy_, CURLOPT_USERNAME, nullptr);
  curl_easy_setopt(easy_, CURLOPT_PASSWORD, nullptr);
  // What the platform's refresh flag sends: no cache on the way may answer.
  headers_.Add("Accept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache");
}

void CurlConnection::UseNtlm(const std::string& user, const std::string& password) {
  curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_NTLM));
  curl_easy_setopt(easy_, CURLOPT_USERNAME, user.c_str());
  curl_easy_setopt(easy_, CURLOPT_PASSWORD, password.c_str());
}

void CurlConnection::Send(const std::string& body) {
  SetMethodAndBody(body);
  SetHeaderList(!body.empty());
  CURLMcode added = curl_multi_add_handle(multi_, easy_);
  if (added != CURLM_OK) RaiseMultiFailure(added);
  attached_ = true;
  uploaded_ = 0;
  last_progress_ = Clock::now();
  progressed_ = false;
  Drive();
  if (done_ && result_ != CURLE_OK && !BodyWaiting()) RaiseFailure(result_);
}

void CurlConnection::SetMethodAndBody(const std::string& body) {
  // HTTPGET drops any body and method of the previous request.
  curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy_, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, nullptr);
  body_size_ = static_cast<curl_off_t>(body.size());
  if (method_ == "HEAD" && body.empty()) {
    curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  } else if (method_ != "GET" || !body.empty()) {
    curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, body_size_);
    curl_easy_setopt(easy_, CURLOPT_COPYPOSTFIELDS, body.data());
    if (method_ != "POST") curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, method_.c_str());
  }
}

void CurlConnection::SetHeaderList(bool has_body) {
  // The body goes out whole, at once, and typed only as the caller says.
  if (!headers_.Has("Expect")) headers_.Add("Expect:");
  if (has_body && !headers_.Has("Content-Type")) headers_.Add("Content-Type:");
  for (const std::string& line : headers_.Lines()) {
    // libcurl drops "Name:" and sends "Name;" as a header with no value.
    const std::size_t colon = line.find(':');
    const bool no_value = line.find_first_not_of(" \t", colon + 1) == std::string::npos;
    const bool removal = line == "Expect:" || (has_body && line == "Content-Type:");
    const std::string empty_value = no_value && !removal ? line.substr(0, colon) + ";" : std::string();
    curl_slist* longer = curl_slist_append(header_list_, empty_value.empty() ? line.c_str() : empty_value.c_str());
    if (longer == nullptr) throw EOutOfMemory();
    header_list_ = longer;
  }
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, header_list_);
}

std::size_t CurlConnection::Read(char* into, std::size_t size) {
  if (pending_at_ < pending_.size()) {
    std::size_t count = std::min(size, pending_.size() - pending_at_);
    std::memcpy(into, pending_.data() + pending_at_, count);
    pending_at_ += count;
    return count;
  }
  pending_.clear();
  pending_at_ = 0;
  if (attached_ && !done_ && size > 0) {
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
  if (attached_) curl_multi_remove_handle(multi_, easy_);
  attached_ = false;
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(header_list_);
  header_list_ = nullptr;
  headers_.Clear();
  pending_.clear();
  pending_at_ = 0;
  delivered_ = 0;
}

// Runs the transfer until body bytes are waiting or it has ended.
void CurlConnection::Drive() {
  for (;;) {
    int running = 0;
    CURLMcode code = curl_multi_perform(multi_, &running);
    if (code != CURLM_OK) RaiseMultiFailure(code);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      done_ = true;
      result_ = message->data.result;
    }
    if (out_of_memory_) throw EOutOfMemory();
    if (BodyWaiting() || done_) return;
    code = curl_multi_poll(multi_, nullptr, 0, PollMilliseconds(), nullptr);
    if (code != CURLM_OK) RaiseMultiFailure(code);
  }
}

// The send and receive limits are our own watch on the connected transfer:
// while the request body is going out, the send limit bounds how long no
// byte moves; after that, the receive limit does. Before the connection
// stands, libcurl's connect limit is in force.
int CurlConnection::PollMilliseconds() {
  if (!connected_) return kLongestPollMs;
  const Clock::time_point now = Clock::now();
  if (uploaded_ < body_size_) {
    curl_off_t uploaded = 0;
    curl_easy_getinfo(easy_, CURLINFO_SIZE_UPLOAD_T, &uploaded);
    progressed_ = progressed_ || uploaded != uploaded_;
    uploaded_ = uploaded;
  }
  // The callbacks only flag that bytes moved; the clock is read here, once.
  if (progressed_) last_progress_ = now;
  progressed_ = false;
  const std::int32_t limit = uploaded_ < body_size_ ? timeouts_.send : timeouts_.receive;
  if (limit <= 0) return kLongestPollMs;
  const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_progress_).count();
  if (idle >= limit) RaiseFailure(CURLE_OPERATION_TIMEDOUT);
  return static_cast<int>(std::min<long long>(kLongestPollMs, limit - idle));
}

void CurlConnection::RaiseFailure(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      throw EWinHTTP("Unable to connect to " + host_ + ":" + std::to_string(port_) +
                     " - server may be down or unavailable");
    case CURLE_OUT_OF_MEMORY: throw EOutOfMemory();
    default: break;
  }
  const char* text = error_[0] != '\0' ? error_ : curl_easy_strerror(code);
  throw EOSError(ErrnoFor(code), text);
}

std::size_t CurlConnection::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto* connection = static_cast<CurlConnection*>(self);
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

int CurlConnection::OnConnected(void* self, char*, char*, int, int) {
  auto* connection = static_cast<CurlConnection*>(self);
  connection->connected_ = true;
  connection->progressed_ = true;
  return CURL_PREREQFUNC_OK;
}

}  // namespace tarn
