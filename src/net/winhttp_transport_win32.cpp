// TWinHTTP's primitives over WinHTTP: a session, a connection and the
// current request, each held by its owner from the moment it is opened.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "net/header_lines.h"
#include "net/host_name.h"
#include "net/proxy_bypass.h"
#include "net/win_http.h"
#include "platform/code_page.h"
#include "platform/os_error.h"

namespace tarn {

namespace {

// Unless the caller asks for checks, every certificate is accepted: unknown
// authority, wrong usage, another name, out of its dates.
constexpr DWORD kIgnoreCertificateFaults = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE |
                                           SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                                           SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// The transport's texts go to the platform byte by byte: each byte is the
// UTF-16 unit of the same value.
std::wstring Widened(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  for (std::size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return wide;
}

// Null for an empty text, as WinHTTP takes "none".
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

std::wstring FromAnsi(const std::string& text) {
  const std::u16string wide = AnsiToWide(text);
  return std::wstring(wide.begin(), wide.end());
}

[[noreturn]] void RaiseLastWinHttpError() { RaiseHttpError(static_cast<int>(::GetLastError())); }

void SetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
  if (!::WinHttpSetOption(handle, option, &value, sizeof value)) RaiseLastWinHttpError();
}

// The code of the first of the faults that WinHTTP found in a certificate
// (its callback's flags); the code of a security failure when none is known.
int CertificateFaultCode(DWORD faults) {
  constexpr std::pair<DWORD, int> kCodes[] = {
      {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, http_error::kUnknownAuthority},
      {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, http_error::kCertificateNameInvalid},
      {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, http_error::kCertificateDateInvalid},
      {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, http_error::kCertificateRevoked},
      {WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE, http_error::kCertificateWrongUsage},
  };
  for (const auto& [flag, code] : kCodes) {
    if (faults & flag) return code;
  }
  return http_error::kSecureFailure;
}

// A refused certificate fails the request with a security failure alone;
// why is told only to this callback, whose context is where the request
// keeps it. (Wine's WinHTTP tells it nowhere: its failure is a failure of
// the secure channel.)
void CALLBACK KeepCertificateFaults(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD size) {
  if (status != WINHTTP_CALLBACK_STATUS_SECURE_FAILURE || context == 0 || info == nullptr || size < sizeof(DWORD)) {
    return;
  }
  *reinterpret_cast<DWORD*>(context) |= *static_cast<const DWORD*>(info);
}

struct HandleCloser {
  void operator()(HINTERNET handle) const noexcept { ::WinHttpCloseHandle(handle); }
};
using WinHttpHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace

struct TWinHTTP::Session {
  // Closed in the reverse order: the request, the connection, the session.
  WinHttpHandle session;
  WinHttpHandle connection;
  WinHttpHandle request;
  // A host reached directly whose name no server resolves (.invalid).
  bool never_resolves = false;
  // When the current request's total limit runs out, if it has one.
  std::optional<std::chrono::steady_clock::time_point> deadline;
  // Whether the requests so far checked certificates; none before the first.
  std::optional<bool> checks;
  // The faults WinHTTP found in the current request's certificate.
  DWORD certificate_faults = 0;

  // A limit (ms, 0 none) cut to what is left of the total limit; raises the
  // timeout once nothing is left.
  DWORD Bounded(std::int32_t limit) const {
    if (!deadline) return limit > 0 ? static_cast<DWORD>(limit) : 0;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) RaiseHttpError(http_error::kTimeout);
    return static_cast<DWORD>(limit > 0 ? std::min<long long>(limit, left) : left);
  }

  // Gives the current request the connection's limits, cut to what is left
  // of its total limit, for the next wait on the server.
  void LimitRequest(const TWinHttpAPI& limits) const {
    if (!deadline) return;
    HINTERNET handle = request.get();
    if (!::WinHttpSetTimeouts(handle, Bounded(limits.ResolveTimeout), Bounded(limits.ConnectTimeout),
                              Bounded(limits.SendTimeout), Bounded(limits.ReceiveTimeout))) {
      RaiseLastWinHttpError();
    }
    SetDwordOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, Bounded(limits.ReceiveTimeout));
  }
};

void TWinHTTP::SessionDeleter::operator()(Session* session) const noexcept {
  std::default_delete<Session>()(session);
}

void TWinHTTP::OpenSession() {
  session_.reset(std::make_unique<Session>().release());
  const std::wstring proxy = Widened(ProxyServer());
  const std::wstring bypass = Widened(ProxyBypass());
  const DWORD access = proxy.empty() ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  session_->session.reset(::WinHttpOpen(Widened(UserAgent()).c_str(), access, OrNull(proxy), OrNull(bypass), 0));
  if (!session_->session) RaiseLastWinHttpError();
  const bool direct = ProxyServer().empty() || BypassesProxy(ProxyBypass(), Host());
  session_->never_resolves = direct && NeverResolves(Host());
  session_->connection.reset(::WinHttpConnect(session_->session.get(), Widened(Host()).c_str(),
                                              static_cast<INTERNET_PORT>(PortNumber() & 0xFFFF), 0));
  if (!session_->connection) RaiseLastWinHttpError();
}

void TWinHTTP::OpenRequest(const std::string& method, const std::string& path) {
  if (CheckCertificate && !CACertFile.empty()) throw ECrtSocket(kNoCAFileMessage);
  // A connection kept from requests that checked otherwise is not reused:
  // the session, which keeps the connections, is made anew.
  if (session_->checks && *session_->checks != CheckCertificate) OpenSession();
  session_->checks = CheckCertificate;
  session_->certificate_faults = 0;
  if (!::WinHttpSetTimeouts(session_->session.get(), ResolveTimeout, ConnectTimeout, SendTimeout, ReceiveTimeout)) {
    RaiseLastWinHttpError();
  }
  session_->deadline.reset();
  if (TotalTimeout > 0) session_->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TotalTimeout);
  const wchar_t* accepted[] = {L"*/*", nullptr};
  const DWORD flags = WINHTTP_FLAG_REFRESH | (Secure() ? WINHTTP_FLAG_SECURE : 0);
  session_->request.reset(::WinHttpOpenRequest(session_->connection.get(), Widened(method).c_str(),
                                                Widened(path).c_str(), nullptr, WINHTTP_NO_REFERER, accepted, flags));
  HINTERNET request = session_->request.get();
  if (request == nullptr) RaiseLastWinHttpError();
  // The caller closes only requests it has fully opened.
  try {
    const std::string basic = BasicAuthorizationLine();
    if (!basic.empty()) {
      AddHeaderLine(basic);
    } else if (!AuthUser.empty()) {
      ::WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_NTLM,
                              FromAnsi(AuthUser).c_str(), FromAnsi(AuthPassword).c_str(), nullptr);
    }
    if (CheckCertificate) {
      if (::WinHttpSetStatusCallback(request, KeepCertificateFaults, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0) ==
          WINHTTP_INVALID_STATUS_CALLBACK) {
        RaiseLastWinHttpError();
      }
    } else {
      SetDwordOption(request, WINHTTP_OPTION_SECURITY_FLAGS, kIgnoreCertificateFaults);
    }
    // Redirects come back to the caller, who decides: WinHTTP would follow
    // them itself, to other hosts too, with the request's header lines.
    SetDwordOption(request, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
    // The wait for the answer's head is bounded by the receive limit too
    // (Wine does not bound it otherwise).
    if (ReceiveTimeout > 0) {
      SetDwordOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(ReceiveTimeout));
    }
    session_->LimitRequest(*this);
  } catch (...) {
    CloseRequest();
    throw;
  }
}

void TWinHTTP::CloseRequest() noexcept { session_->request.reset(); }

void TWinHTTP::AddHeaderLine(const std::string& text) {
  if (text.empty()) return;
  // A line without a name is refused, not dropped (Wine drops it).
  if (!RequestHeaderLines().Add(text)) RaiseOSError(InvalidArgumentCode());
  const std::wstring wide = Widened(text);
  if (!::WinHttpAddRequestHeaders(session_->request.get(), wide.c_str(), static_cast<DWORD>(wide.size()),
                                  WINHTTP_ADDREQ_FLAG_COALESCE)) {
    RaiseLastWinHttpError();
  }
}

void TWinHTTP::Transmit(const std::string& body) {
  if (session_->never_resolves) RaiseHttpError(http_error::kNameNotResolved);
  HINTERNET request = session_->request.get();
  void* data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
  const auto size = static_cast<DWORD>(body.size());
  const auto faults = reinterpret_cast<DWORD_PTR>(&session_->certificate_faults);
  if (!::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, data, size, size, faults) ||
      !::WinHttpReceiveResponse(request, nullptr)) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_WINHTTP_CANNOT_CONNECT) RaiseCannotConnect(Host(), PortNumber());
    if (session_->certificate_faults != 0) RaiseHttpError(CertificateFaultCode(session_->certificate_faults));
    RaiseHttpError(static_cast<int>(code));
  }
  // What some WinHTTPs (Wine's) let through is refused as the platform's
  // own service refuses it: a head beyond the limit, an answer without a
  // status line.
  DWORD head_size = 0;
  DWORD index = 0;
  ::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &head_size,
                        &index);
  if (head_size / sizeof(wchar_t) > kMostHeadBytes) RaiseHttpError(http_error::kHeaderSizeOverflow);
  if (HeaderNumber(HttpQuery::StatusCode) == 0) RaiseHttpError(http_error::kInvalidServerResponse);
}

std::string TWinHTTP::HeaderText(HttpQuery query) {
  const auto info = static_cast<DWORD>(query);
  DWORD size = 0;
  DWORD index = 0;
  if (::WinHttpQueryHeaders(session_->request.get(), info, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, &index) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return {};
  }
  std::wstring wide(size / sizeof(wchar_t) + 1, L'\0');
  index = 0;
  if (!::WinHttpQueryHeaders(session_->request.get(), info, WINHTTP_HEADER_NAME_BY_INDEX, wide.data(), &size, &index)) {
    return {};
  }
  // Each UTF-16 unit keeps its low byte.
  std::string text(size / sizeof(wchar_t), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(wide[i] & 0xFF);
  return text;
}

std::int32_t TWinHTTP::HeaderNumber(HttpQuery query) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD index = 0;
  if (!::WinHttpQueryHeaders(session_->request.get(), static_cast<DWORD>(query) | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &value, &size, &index)) {
    return 0;
  }
  return static_cast<std::int32_t>(value);
}

std::size_t TWinHTTP::ReadChunk(std::string& buffer, std::size_t offset) {
  if (offset >= buffer.size()) return 0;
  HINTERNET request = session_->request.get();
  auto room = static_cast<DWORD>(buffer.size() - offset);
  if (session_->deadline) {
    // Each wait for the server is no longer than the request has left, and
    // a read takes what has come (some WinHTTPs, Wine's, wait to fill the
    // whole buffer), so that the limit is looked at as the bytes come.
    session_->LimitRequest(*this);
    DWORD available = 0;
    if (!::WinHttpQueryDataAvailable(request, &available)) RaiseLastWinHttpError();
    if (available == 0) return 0;
    room = std::min(room, available);
  }
  DWORD read = 0;
  if (!::WinHttpReadData(request, buffer.data() + offset, room, &read)) RaiseLastWinHttpError();
  return read;
}

}  // namespace tarn
