// Servers on 127.0.0.1 for the transport's tests: an HTTP server with exact
// answers, a raw server that writes scripted bytes, a listener that never
// accepts, and a port where nothing listens.
#pragma once

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/http_test_server.h"
#include "support/loopback_socket.h"

namespace tarn::testing {

// A loopback port that is taken but not listening: connections are refused.
using ClosedPort = LoopbackSocket;

// A loopback listener that never accepts: connections wait in its queue and
// what is sent to them is never read. With a full queue, further
// connections are never answered (Linux drops their SYNs).
class IdleListener {
 public:
  enum Queue { kRoomy, kFull };

  explicit IdleListener(Queue queue) {
    socket_.Listen(queue == kFull ? 0 : 8);
    if (queue == kFull) FillQueue();
  }

  std::string PortText() const { return socket_.PortText(); }

 private:
  // Connects until a connection stays unanswered.
  void FillQueue() {
    for (int i = 0; i < 64; ++i) {
      clients_.push_back(LoopbackSocket::ConnectWithoutWaiting(socket_.Port()));
      if (!clients_.back().Ready(200, true)) return;
    }
    std::abort();
  }

  LoopbackSocket socket_;
  std::vector<LoopbackSocket> clients_;
};

// Answers every connection with the same bytes, then closes it. Keeps the
// last request head it read.
class RawServer {
 public:
  explicit RawServer(std::string answer) : answer_(std::move(answer)) {
    socket_.Listen(8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawServer() {
    stop_ = true;
    thread_.join();
  }
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int Port() const { return socket_.Port(); }
  std::string PortText() const { return socket_.PortText(); }
  std::string LastRequest() {
    std::lock_guard lock(mutex_);
    return last_request_;
  }

 private:
  void Serve() {
    while (!stop_) {
      if (!socket_.Ready(20)) continue;
      LoopbackSocket client = socket_.Accept();
      if (!client.Valid()) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const std::size_t got = client.Receive(buffer, sizeof buffer);
        if (got == 0) break;
        request.append(buffer, got);
      }
      {
        std::lock_guard lock(mutex_);
        last_request_ = request;
      }
      client.Send(answer_);
      client.Shutdown();
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
