// TCP sockets on 127.0.0.1 for the tests' own servers, the same on both
// platforms (BSD sockets or Winsock behind one small interface).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn::testing {

class LoopbackSocket {
 public:
  // Bound to a free loopback port, not listening yet.
  LoopbackSocket();
  ~LoopbackSocket();
  LoopbackSocket(LoopbackSocket&& other) noexcept;
  LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;

  // Connects to a loopback port without waiting for the answer.
  static LoopbackSocket ConnectWithoutWaiting(int port);

  bool Valid() const { return handle_ != kNone; }
  int Port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }
  // The other end's port of an accepted connection.
  int PeerPort() const;

  void Listen(int backlog) const;
  // Whether there is something to read (or a connection to accept) within
  // the wait; with `writable`, whether a connection in progress stands.
  bool Ready(int wait_ms, bool writable = false) const;
  // An invalid socket when nothing could be accepted.
  LoopbackSocket Accept() const;
  // What arrived, at most `size` bytes; 0 at the end of the stream or on a
  // failure.
  std::size_t Receive(char* buffer, std::size_t size) const;
  // Sends all of `data` unless the other end has gone.
  void Send(std::string_view data) const;
  // Ends both directions, so that the other end reads the end of the stream.
  void Shutdown() const;

 private:
  // -1 is also Winsock's INVALID_SOCKET.
  static constexpr std::intptr_t kNone = -1;

  explicit LoopbackSocket(std::intptr_t handle) : handle_(handle) {}
  void Close() noexcept;

  std::intptr_t handle_;
  int port_ = 0;
};

}  // namespace tarn::testing
