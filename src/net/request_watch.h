// The four time limits of a request, each applied on its own phase, as the
// platform applies them: resolving the server's name lasts until the first
// socket is opened and connecting until the connection stands (each limit
// bounds its whole phase); then the send limit bounds how long no byte of
// the request moves while its body goes out, and the receive limit how long
// no byte of the answer arrives. A connection that is reused has neither a
// resolve nor a connect phase. Beside them, a total limit may bound the
// whole request, however its phases go.
//
// The watch reads no clock: its caller passes the time, so that a transfer
// reads the clock once per wait.
#pragma once

#include <chrono>
#include <cstdint>

namespace tarn {

// Milliseconds; 0 (or less) is no limit.
struct RequestLimits {
  std::int32_t resolve = 0;
  std::int32_t connect = 0;
  std::int32_t send = 0;
  std::int32_t receive = 0;
  std::int32_t total = 0;
};

class RequestWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // A request begins: the resolve phase starts.
  void Start(const RequestLimits& limits, Clock::time_point now);
  // Each call moves the phase forward only; a later or repeated call of an
  // earlier step changes nothing.
  void SocketOpened(Clock::time_point now);
  void Connected(Clock::time_point now, bool body_to_send);
  void BodySent(Clock::time_point now);
  // Bytes moved: the idle time of the send or receive phase starts again.
  void Moved(Clock::time_point now);

  // How long to wait for the network before looking again, at most
  // longest_ms; -1 once the limit of the current phase, or the total limit,
  // has run out.
  int WaitMilliseconds(Clock::time_point now, int longest_ms) const;

 private:
  enum class Phase { kResolve, kConnect, kSend, kReceive };
  void Enter(Phase phase, Clock::time_point now);

  RequestLimits limits_;
  Phase phase_ = Phase::kResolve;
  Clock::time_point since_;  // the phase's start, or the last byte moved
  Clock::time_point start_;
};

}  // namespace tarn
