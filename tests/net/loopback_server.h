// Servers on 127.0.0.1 for the transport's tests: an HTTP server with
// exact answers (cpp-httplib), a raw server that writes scripted bytes, a
// listener that never accepts, and a port where nothing listens.
#pragma once

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tarn::testing {

// A socket bound to a free loopback port, closed when the object goes.
class LoopbackSocket {
 public:
  LoopbackSocket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      std::abort();
    }
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackSocket() { ::close(fd_); }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  int Fd() const { return fd_; }
  int Port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

// A loopback port that is taken but not listening: connections are refused.
using ClosedPort = LoopbackSocket;

// A loopback listener that never accepts: connections wait in its queue and
// what is sent to them is never read. With a full queue, further
// connections are never answered (Linux drops their SYNs).
class IdleListener {
 public:
  enum Queue { kRoomy, kFull };

  explicit IdleListener(Queue queue) {
    ::listen(socket_.Fd(), queue == kFull ? 0 : 8);
    if (queue == kFull) FillQueue();
  }
  ~IdleListener() {
    for (int client : clients_) ::close(client);
  }
  IdleListener(const IdleListener&) = delete;
  IdleListener& operator=(const IdleListener&) = delete;

  std::string PortText() const { return std::to_string(socket_.Port()); }

 private:
  // Connects until a connection stays unanswered.
  void FillQueue() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(socket_.Port()));
    for (int i = 0; i < 64; ++i) {
      const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      clients_.push_back(client);
      ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
      pollfd connected{client, POLLOUT, 0};
      if (::poll(&connected, 1, 200) == 0) return;
    }
    std::abort();
  }

  LoopbackSocket socket_;
  std::vector<int> clients_;
};

// cpp-httplib on a free loopback port. Register handlers on Http(), then
// Start(); the server stops when the object goes. It counts the client
// connections it has seen (by their source port).
class LoopbackServer {
 public:
  LoopbackServer() {
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
      std::lock_guard lock(mutex_);
      client_ports_.insert(request.remote_port);
      return httplib::Server::HandlerResponse::Unhandled;
    });
    // Answers go out at once, not held back for the client's delayed ACK
    // (accepted sockets inherit the option from the listening one).
    server_.set_socket_options([](int socket) {
      httplib::default_socket_options(socket);
      int on = 1;
      ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
  }
  ~LoopbackServer() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& Http() { return server_; }

  void Start() {
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  int Port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + PortText() + path; }
  std::size_t Connections() {
    std::lock_guard lock(mutex_);
    return client_ports_.size();
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::set<int> client_ports_;
};

// Answers every connection with the same bytes, then closes it. Keeps the
// last request head it read.
class RawServer {
 public:
  explicit RawServer(std::string answer) : answer_(std::move(answer)) {
    ::listen(socket_.Fd(), 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawServer() {
    stop_ = true;
    thread_.join();
  }
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int Port() const { return socket_.Port(); }
  std::string PortText() const { return std::to_string(socket_.Port()); }
  std::string LastRequest() {
    std::lock_guard lock(mutex_);
    return last_request_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd waiting{socket_.Fd(), POLLIN, 0};
      if (::poll(&waiting, 1, 20) <= 0) continue;
      int client = ::accept(socket_.Fd(), nullptr, nullptr);
      if (client < 0) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
      }
      {
        std::lock_guard lock(mutex_);
        last_request_ = request;
      }
      ::send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL);
      ::shutdown(client, SHUT_RDWR);
      ::close(client);
    }
  }

  LoopbackSocket socket_;
  std::string answer_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::string last_request_;
};

}  // namespace tarn::testing
