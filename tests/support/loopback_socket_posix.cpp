#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "support/loopback_socket.h"

namespace tarn::testing {

namespace {

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

LoopbackSocket::LoopbackSocket() : handle_(::socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in address = LoopbackAddress(0);
  socklen_t size = sizeof address;
  if (handle_ < 0 || ::bind(Fd(handle_), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    std::abort();
  }
  port_ = ntohs(address.sin_port);
  // Answers go out at once, not held back for the client's delayed ACK
  // (accepted sockets inherit the option).
  int on = 1;
  ::setsockopt(Fd(handle_), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void LoopbackSocket::Close() noexcept {
  if (handle_ != kNone) ::close(Fd(handle_));
  handle_ = kNone;
}

LoopbackSocket LoopbackSocket::ConnectWithoutWaiting(int port) {
  LoopbackSocket client(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
  sockaddr_in address = LoopbackAddress(port);
  ::connect(Fd(client.handle_), reinterpret_cast<sockaddr*>(&address), sizeof address);
  return client;
}

int LoopbackSocket::PeerPort() const {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  if (::getpeername(Fd(handle_), reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

void LoopbackSocket::Listen(int backlog) const {
  if (::listen(Fd(handle_), backlog) != 0) std::abort();
}

bool LoopbackSocket::Ready(int wait_ms, bool writable) const {
  pollfd waiting{Fd(handle_), static_cast<short>(writable ? POLLOUT : POLLIN), 0};
  return ::poll(&waiting, 1, wait_ms) > 0;
}

LoopbackSocket LoopbackSocket::Accept() const {
  const int client = ::accept(Fd(handle_), nullptr, nullptr);
  return LoopbackSocket(client < 0 ? kNone : client);
}

std::size_t LoopbackSocket::Receive(char* buffer, std::size_t size) const {
  const ssize_t got = ::recv(Fd(handle_), buffer, size, 0);
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

void LoopbackSocket::Send(std::string_view data) const {
  while (!data.empty()) {
    const ssize_t sent = ::send(Fd(handle_), data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void LoopbackSocket::Shutdown() const { ::shutdown(Fd(handle_), SHUT_RDWR); }

}  // namespace tarn::testing
