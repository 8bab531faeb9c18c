#include "net/request_watch.h"

#include <algorithm>

namespace tarn {

void RequestWatch::Start(const RequestLimits& limits, Clock::time_point now) {
  limits_ = limits;
  phase_ = Phase::kResolve;
  since_ = now;
}

void RequestWatch::Enter(Phase phase, Clock::time_point now) {
  if (phase <= phase_) return;
  phase_ = phase;
  since_ = now;
}

void RequestWatch::SocketOpened(Clock::time_point now) { Enter(Phase::kConnect, now); }

void RequestWatch::Connected(Clock::time_point now, bool body_to_send) {
  if (phase_ < Phase::kSend) Enter(body_to_send ? Phase::kSend : Phase::kReceive, now);
}

void RequestWatch::BodySent(Clock::time_point now) {
  if (phase_ == Phase::kSend) Enter(Phase::kReceive, now);
}

void RequestWatch::Moved(Clock::time_point now) {
  if (phase_ >= Phase::kSend) since_ = now;
}

int RequestWatch::WaitMilliseconds(Clock::time_point now, int longest_ms) const {
  std::int32_t limit = 0;
  switch (phase_) {
    case Phase::kResolve: limit = limits_.resolve; break;
    case Phase::kConnect: limit = limits_.connect; break;
    case Phase::kSend: limit = limits_.send; break;
    case Phase::kReceive: limit = limits_.receive; break;
  }
  if (limit <= 0) return longest_ms;
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now - since_).count();
  if (spent >= limit) return -1;
  return static_cast<int>(std::min<long long>(longest_ms, limit - spent));
}

}  // namespace tarn
