#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string_view>

#include "platform/qt_transport.h"

namespace lp {
namespace {

using namespace std::chrono_literals;

TEST(EventLoopTest, ConditionAlreadyMetReturnsAtOnce) {
  int checks = 0;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(RunEventLoopUntil(
      [&checks] {
        ++checks;
        return true;
      },
      10s));
  EXPECT_EQ(checks, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST(EventLoopTest, ConditionNeverMetEndsAtTheLimit) {
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(RunEventLoopUntil([] { return false; }, 200ms));
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_GE(elapsed, 200ms);
  EXPECT_LT(elapsed, 5s);
}

class DisconnectFlag : public TransportEvents {
 public:
  void OnConnected() override {}
  void OnReceived(std::string_view) override {}
  void OnTlsStarted() override {}
  void OnDisconnected(std::string_view) override { disconnected = true; }
  bool disconnected = false;
};

// The loop looks again after each batch of events, so an event that makes
// the condition true ends the loop long before the limit.
TEST(EventLoopTest, ConditionMetByAnEventEndsTheLoop) {
  DisconnectFlag events;
  QtTransport transport;
  TransportEndpoint endpoint;
  endpoint.host = "no such host";  // fails without asking any name server
  endpoint.port = 110;
  transport.Connect(endpoint, events);
  EXPECT_FALSE(events.disconnected);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(RunEventLoopUntil([&events] { return events.disconnected; }, 20s));
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

}  // namespace
}  // namespace lp
