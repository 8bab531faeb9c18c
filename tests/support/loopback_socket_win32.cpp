#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

#include "support/loopback_socket.h"

namespace tarn::testing {

namespace {

// Winsock is started once for the test program and never stopped.
void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) std::abort();
}

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  return address;
}

SOCKET Handle(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

LoopbackSocket::LoopbackSocket() : handle_((StartWinsock(), ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))) {
  sockaddr_in address = LoopbackAddress(0);
  int size = sizeof address;
  if (handle_ == kNone || ::bind(Handle(handle_), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(Handle(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    std::abort();
  }
  port_ = ntohs(address.sin_port);
  // Answers go out at once, not held back for the client's delayed ACK.
  BOOL on = TRUE;
  ::setsockopt(Handle(handle_), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

void LoopbackSocket::Close() noexcept {
  if (handle_ != kNone) ::closesocket(Handle(handle_));
  handle_ = kNone;
}

LoopbackSocket LoopbackSocket::ConnectWithoutWaiting(int port) {
  StartWinsock();
  LoopbackSocket client(static_cast<std::intptr_t>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)));
  u_long non_blocking = 1;
  ::ioctlsocket(Handle(client.handle_), FIONBIO, &non_blocking);
  sockaddr_in address = LoopbackAddress(port);
  ::connect(Handle(client.handle_), reinterpret_cast<sockaddr*>(&address), sizeof address);
  return client;
}

int LoopbackSocket::PeerPort() const {
  sockaddr_in address{};
  int size = sizeof address;
  if (::getpeername(Handle(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

void LoopbackSocket::Listen(int backlog) const {
  if (::listen(Handle(handle_), backlog) != 0) std::abort();
}

bool LoopbackSocket::Ready(int wait_ms, bool writable) const {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Handle(handle_), &set);
  timeval wait{wait_ms / 1000, (wait_ms % 1000) * 1000};
  return ::select(0, writable ? nullptr : &set, writable ? &set : nullptr, nullptr, &wait) > 0;
}

LoopbackSocket LoopbackSocket::Accept() const {
  return LoopbackSocket(static_cast<std::intptr_t>(::accept(Handle(handle_), nullptr, nullptr)));
}

std::size_t LoopbackSocket::Receive(char* buffer, std::size_t size) const {
  const int got = ::recv(Handle(handle_), buffer, static_cast<int>(size), 0);
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

void LoopbackSocket::Send(std::string_view data) const {
  while (!data.empty()) {
    const int sent = ::send(Handle(handle_), data.data(), static_cast<int>(data.size()), 0);
    if (sent <= 0) return;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void LoopbackSocket::Shutdown() const { ::shutdown(Handle(handle_), SD_BOTH); }

}  // namespace tarn::testing
