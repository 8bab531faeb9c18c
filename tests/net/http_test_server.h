// An HTTP/1.1 server of the tests' own on a free loopback port, the same on
// both platforms: every request of every connection goes to one handler,
// connections are kept alive and each is served on its own thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "support/loopback_socket.h"

namespace tarn::testing {

using HeaderFields = std::vector<std::pair<std::string, std::string>>;

// The request as the server read it.
struct HttpRequest {
  std::string method;
  std::string target;
  std::string path;  // the target without its query
  HeaderFields headers;
  std::string body;

  // The first value of the field, "" when there is none (names without case).
  std::string Header(std::string_view name) const;
  std::size_t Count(std::string_view name) const;
};

struct HttpResponse {
  int status = 200;
  HeaderFields headers;
  std::string body;
  // Sent in chunks of 3000 bytes, without a length.
  bool chunked = false;

  void Set(std::string name, std::string value) { headers.emplace_back(std::move(name), std::move(value)); }
  void SetContent(std::string content, std::string type) {
    body = std::move(content);
    Set("Content-Type", std::move(type));
  }
};

using HttpHandler = std::function<void(const HttpRequest&, HttpResponse&)>;

class LoopbackServer {
 public:
  // Serves from the start.
  explicit LoopbackServer(HttpHandler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return listener_.Port(); }
  std::string PortText() const { return listener_.PortText(); }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + PortText() + path; }
  // The client connections seen so far.
  std::size_t Connections();

 private:
  void Accept();
  void Serve(std::shared_ptr<LoopbackSocket> client);
  // One request from the connection; false when it ended first.
  bool Read(const LoopbackSocket& client, std::string& pending, HttpRequest& request);

  HttpHandler handler_;
  LoopbackSocket listener_;
  std::atomic<bool> stop_ = false;
  std::mutex mutex_;
  std::set<int> client_ports_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace tarn::testing
