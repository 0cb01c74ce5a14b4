// The echo packets and the Linux reachability check against 127.0.0.1
// only: no other address, no name lookup.
#include "platform/ping.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <optional>
#include <string>

#include "platform/ping_packet.h"

namespace mirokata {
namespace {

TEST(PingPacketTest, RequestCarriesTypeSequenceAndPayload) {
  const std::string four = EchoRequest(false, 0x1234);
  ASSERT_EQ(four.size(), size_t(8 + kPingPayloadBytes));
  EXPECT_EQ(four[0], char(8));
  EXPECT_EQ(four[6], char(0x12));
  EXPECT_EQ(four[7], char(0x34));
  EXPECT_EQ(four.substr(8 + 45), std::string(11, ' '));
  EXPECT_EQ(EchoRequest(true, 1)[0], char(128));
}

TEST(PingPacketTest, ReplyMatchesByTypeAndSequence) {
  std::string reply = EchoRequest(false, 77);
  reply[0] = 0;
  std::string reply6 = EchoRequest(true, 77);
  reply6[0] = char(129);
  struct Case {
    std::string packet;
    bool ipv6;
    uint16_t sequence;
    bool match;
  } cases[] = {
      {reply, false, 77, true},
      {reply, false, 78, false},
      {reply, true, 77, false},
      {reply6, true, 77, true},
      {EchoRequest(false, 77), false, 77, false},  // our own request
      {reply.substr(0, 7), false, 77, false},
      {reply.substr(0, 8), false, 77, true},
      {std::string("\x03\x01", 2) + reply.substr(2), false, 77, false},
      {"", false, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsEchoReply(c.packet, c.ipv6, c.sequence), c.match);
  }
}

class LinuxPingTest : public ::testing::Test {
 protected:
  // Runs the event loop until `done` or `ms` pass.
  void Spin(int ms, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }

  int argc_ = 1;
  char name_[16] = "ping_test";
  char* argv_[1] = {name_};
  QCoreApplication app_{argc_, argv_};
  std::unique_ptr<Reachability> reachability_ = MakeLinuxReachability();
};

TEST_F(LinuxPingTest, LoopbackAnswers) {
  std::optional<PingOutcome> outcome;
  auto job = reachability_->Ping("127.0.0.1",
                                 [&](const PingOutcome& o) { outcome = o; });
  // The answer is never given during the call itself.
  EXPECT_FALSE(outcome);
  Spin(3000, [&] { return outcome.has_value(); });
  ASSERT_TRUE(outcome);
  if (outcome->kind == PingOutcome::Kind::kRefused) {
    GTEST_SKIP() << "this user may not open a ping socket (errno "
                 << outcome->error
                 << "): net.ipv4.ping_group_range leaves its group out";
  }
  EXPECT_EQ(outcome->kind, PingOutcome::Kind::kReply);
  EXPECT_EQ(outcome->address, "127.0.0.1");
  EXPECT_GE(outcome->round_trip_ms, 0);
  EXPECT_LT(outcome->round_trip_ms, 1000);
}

TEST_F(LinuxPingTest, Ipv6LoopbackAnswersOverIcmpv6) {
  std::optional<PingOutcome> outcome;
  // An address literal: QHostInfo answers it without a query.
  auto job =
      reachability_->Ping("::1", [&](const PingOutcome& o) { outcome = o; });
  Spin(3000, [&] { return outcome.has_value(); });
  ASSERT_TRUE(outcome);
  if (outcome->kind == PingOutcome::Kind::kRefused) {
    GTEST_SKIP() << "this user may not open a ping socket (errno "
                 << outcome->error << ")";
  }
  if (outcome->kind == PingOutcome::Kind::kNoReply && outcome->error != 0) {
    GTEST_SKIP() << "no IPv6 loopback here (errno " << outcome->error << ")";
  }
  EXPECT_EQ(outcome->kind, PingOutcome::Kind::kReply);
  EXPECT_EQ(outcome->address, "::1");
}

TEST_F(LinuxPingTest, DestroyedJobNeverAnswers) {
  bool answered = false;
  auto job = reachability_->Ping("127.0.0.1",
                                 [&](const PingOutcome&) { answered = true; });
  job.reset();
  Spin(1500, [&] { return answered; });
  EXPECT_FALSE(answered);
}

TEST_F(LinuxPingTest, ReceiverMayDropTheJobFromItsCallback) {
  std::unique_ptr<PingJob> job;
  int answers = 0;
  job = reachability_->Ping("127.0.0.1", [&](const PingOutcome&) {
    ++answers;
    job.reset();
  });
  Spin(3000, [&] { return answers > 0; });
  Spin(100, [] { return false; });
  EXPECT_EQ(answers, 1);
  EXPECT_FALSE(job);
}

}  // namespace
}  // namespace mirokata
