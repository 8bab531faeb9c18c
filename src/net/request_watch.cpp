#include "net/request_watch.h"

#include <algorithm>

namespace tarn {

void RequestWatch::Start(const RequestLimits& limits, Clock::time_point now) {
  limits_ = limits;
  phase_ = Phase::kResolve;
  since_ = start_ = now;
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

namespace {

// What is left of `limit` (ms, none when 0 or less) spent since `since`,
// at most longest_ms; -1 when nothing is.
int Left(std::int32_t limit, RequestWatch::Clock::time_point since, RequestWatch::Clock::time_point now,
         int longest_ms) {
  if (limit <= 0) return longest_ms;
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now - since).count();
  if (spent >= limit) return -1;
  return static_cast<int>(std::min<long long>(longest_ms, limit - spent));
}

}  // namespace

int RequestWatch::WaitMilliseconds(Clock::time_point now, int longest_ms) const {
  std::int32_t limit = 0;
  switch (phase_) {
    case Phase::kResolve: limit = limits_.resolve; break;
    case Phase::kConnect: limit = limits_.connect; break;
    case Phase::kSend: limit = limits_.send; break;
    case Phase::kReceive: limit = limits_.receive; break;
  }
  const int phase_left = Left(limit, since_, now, longest_ms);
  const int total_left = Left(limits_.total, start_, now, longest_ms);
  return phase_left < 0 || total_left < 0 ? -1 : std::min(phase_left, total_left);
}

}  // namespace tarn
