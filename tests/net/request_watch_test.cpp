#include "net/request_watch.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn {
namespace {

using std::chrono::milliseconds;

constexpr int kLongest = 1000;

enum class Step { kSocketOpened, kConnected, kConnectedWithBody, kBodySent, kMoved };

struct Event {
  Step step;
  int at;  // milliseconds after the start
};

struct Case {
  const char* what;
  RequestLimits limits;  // resolve, connect, send, receive, total
  std::vector<Event> events;
  int asked_at;
  int wait;  // -1: the limit has run out
};

TEST(RequestWatchTest, EachLimitBoundsItsOwnPhase) {
  const Case cases[] = {
      {"resolving", {100, 0, 0, 0}, {}, 40, 60},
      {"resolving too long", {100, 0, 0, 0}, {}, 100, -1},
      {"bytes moving do not extend resolving", {100, 0, 0, 0}, {{Step::kMoved, 90}}, 100, -1},
      {"no resolve limit, whatever the connect limit", {0, 300, 0, 0}, {}, 100000, kLongest},
      {"connecting, the resolve time not counted", {5000, 300, 0, 0}, {{Step::kSocketOpened, 4000}}, 4250, 50},
      {"connecting from the first socket",
       {5000, 300, 0, 0},
       {{Step::kSocketOpened, 4000}, {Step::kSocketOpened, 4200}},
       4300,
       -1},
      {"no connect limit, whatever the resolve limit", {100, 0, 0, 0}, {{Step::kSocketOpened, 50}}, 100000, kLongest},
      {"a reused connection receives at once", {100, 100, 0, 200}, {{Step::kConnected, 0}}, 150, 50},
      {"sending, idle since the last byte moved",
       {0, 0, 200, 0},
       {{Step::kSocketOpened, 0}, {Step::kConnectedWithBody, 10}, {Step::kMoved, 150}},
       300,
       50},
      {"sending too long", {0, 0, 200, 0}, {{Step::kConnectedWithBody, 10}}, 210, -1},
      {"receiving once the body is out",
       {0, 0, 200, 500},
       {{Step::kConnectedWithBody, 0}, {Step::kBodySent, 100}},
       550,
       50},
      {"the body sent before connecting changes nothing", {100, 0, 0, 0}, {{Step::kBodySent, 10}}, 100, -1},
      {"the total limit bounds a phase with time left",
       {0, 0, 0, 500, 1000},
       {{Step::kConnected, 100}, {Step::kMoved, 900}},
       950,
       50},
      {"the total limit runs out however bytes move",
       {0, 0, 0, 500, 1000},
       {{Step::kConnected, 100}, {Step::kMoved, 990}},
       1000,
       -1},
      {"the total limit counts the resolve time", {0, 0, 0, 0, 300}, {{Step::kSocketOpened, 200}}, 300, -1},
  };
  const RequestWatch::Clock::time_point start{};
  for (const Case& test : cases) {
    RequestWatch watch;
    watch.Start(test.limits, start);
    for (const Event& event : test.events) {
      const auto at = start + milliseconds(event.at);
      switch (event.step) {
        case Step::kSocketOpened: watch.SocketOpened(at); break;
        case Step::kConnected: watch.Connected(at, false); break;
        case Step::kConnectedWithBody: watch.Connected(at, true); break;
        case Step::kBodySent: watch.BodySent(at); break;
        case Step::kMoved: watch.Moved(at); break;
      }
    }
    EXPECT_EQ(watch.WaitMilliseconds(start + milliseconds(test.asked_at), kLongest), test.wait) << test.what;
  }
}

}  // namespace
}  // namespace tarn
