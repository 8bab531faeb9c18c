// TWinHTTP: the HTTP transport's primitive steps over the platform's HTTP
// service. Each back end implements the members below over what it sits on:
// WinHTTP on Windows (winhttp_transport_win32.cpp), libcurl elsewhere
// (curl_transport.cpp), each with its own Session. A constructed object is
// ready for requests (the session is open); its connection to the server is
// made by the first request and kept for the next ones.
#pragma once

#include <memory>
#include <string>

#include "net/win_http_api.h"

namespace tarn {

class TWinHTTP final : public TWinHttpAPI {
 public:
  TWinHTTP(const std::string& host, const std::string& port_text, bool secure, const std::string& proxy_server = "",
           const std::string& proxy_bypass = "");
  ~TWinHTTP() override;

  const char* ClassName() const noexcept override { return "TWinHTTP"; }

  // Empty: no authentication. "basic:" and a user name: HTTP Basic with
  // AuthPassword. Any other name: NTLM with AuthPassword.
  std::string AuthUser;
  std::string AuthPassword;

 protected:
  void OpenSession() override;
  void OpenRequest(const std::string& method, const std::string& path) override;
  void CloseRequest() noexcept override;
  void AddHeaderLine(const std::string& text) override;
  void Transmit(const std::string& body) override;
  std::string HeaderText(HttpQuery query) override;
  std::int32_t HeaderNumber(HttpQuery query) override;
  std::size_t ReadChunk(std::string& buffer, std::size_t offset) override;

 private:
  // The header line of Basic authentication when AuthUser asks for it,
  // else empty.
  std::string BasicAuthorizationLine() const;

  // The back end's handles on the service; open from construction on. Each
  // back end defines it, and its deleter where it is complete.
  struct Session;
  struct SessionDeleter {
    void operator()(Session* session) const noexcept;
  };
  std::unique_ptr<Session, SessionDeleter> session_;
};

}  // namespace tarn
