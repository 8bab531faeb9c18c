#include "support/loopback_socket.h"

namespace tarn::testing {

LoopbackSocket::~LoopbackSocket() { Close(); }

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept : handle_(other.handle_), port_(other.port_) {
  other.handle_ = kNone;
}

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    port_ = other.port_;
    other.handle_ = kNone;
  }
  return *this;
}

}  // namespace tarn::testing
