// Servers on 127.0.0.1 for the transport's tests: an HTTP server with exact
// answers, a raw server that writes scripted bytes, a listener that never
// accepts, and a port where nothing listens.
#pragma once

#include <atomic>
#include <chrono>
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

// How a RawServer sends its answer: in pieces of `bytes` bytes (all at once
// when 0), one piece per `every`; then, when `then_forever` is not empty,
// those bytes again and again, one time per `every`, until the client goes
// away.
struct Pace {
  std::size_t bytes = 0;
  std::chrono::milliseconds every{0};
  std::string then_forever;
};

// Answers every connection with the same bytes, then closes it. Keeps the
// last request head it read.
class RawServer {
 public:
  explicit RawServer(std::string answer, Pace pace = {}) : answer_(std::move(answer)), pace_(std::move(pace)) {
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
      Answer(client);
      client.Shutdown();
    }
  }

  void Answer(const LoopbackSocket& client) {
    const std::size_t piece = pace_.bytes == 0 ? answer_.size() : pace_.bytes;
    for (std::size_t at = 0; at < answer_.size() && !stop_ && !Gone(client); at += piece) {
      client.Send(std::string_view(answer_).substr(at, piece));
      std::this_thread::sleep_for(pace_.every);
    }
    while (!pace_.then_forever.empty() && !stop_ && !Gone(client)) {
      client.Send(pace_.then_forever);
      std::this_thread::sleep_for(pace_.every);
    }
  }

  // Whether the client has closed its end (or reset it).
  static bool Gone(const LoopbackSocket& client) {
    char byte;
    return client.Ready(0) && client.Receive(&byte, 1) == 0;
  }

  LoopbackSocket socket_;
  std::string answer_;
  Pace pace_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::string last_request_;
};

}  // namespace tarn::testing
