#include "SbepSimulator.h"

#include <gtest/gtest.h>

#include <thread>

#include "RawPort.h"

using namespace sbepsim;

namespace {

// Requests as the kit sends them, and the radio's good answers.
const Bytes kStatus0{0xF2, 0x23, 0x00, 0xEA};
const Bytes kStatusReply{0xF6, 0x8B, 0x00, 0x31, 0x41, 0x42, 0x43, 0x87};  // item 0, "1ABC"
const Bytes kEndOfJob{0xF1, 0x10, 0xFE};
const Bytes kUpdateAbc123{0xF8, 0x18, 0x02, 0x41, 0x42, 0x43, 0x31, 0x32, 0x33, 0x91};
const Bytes kUpdateGood{0xF2, 0x87, 0x00, 0x86};
const Bytes kUpdateBad{0xF2, 0x87, 0x01, 0x85};

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A started simulator and the kit's end of its line.
struct Line {
  explicit Line(SimOptions options = {}) : sim(std::move(options)) {
    started = sim.Start();
    if (started) port = std::make_unique<RawPort>(sim.DevicePath());
  }
  // Sends a request and returns what comes back: the `expected` number of
  // bytes, waited for patiently, and any surplus that follows at once.
  Bytes Exchange(const Bytes& request, std::size_t expected) {
    port->Send(request);
    return port->ReadExpected(expected);
  }
  // Checks that the request is answered with `answer`.
  void ExpectExchange(const Bytes& request, const Bytes& answer) {
    EXPECT_EQ(Exchange(request, answer.size()), answer);
  }

  SbepSimulator sim;
  bool started = false;
  std::unique_ptr<RawPort> port;
};

#define ASSERT_LINE(line)                               \
  ASSERT_TRUE((line).started) << (line).sim.Error();    \
  ASSERT_TRUE((line).port->IsOpen())

struct ExchangeCase {
  const char* name;
  Bytes request;
  Bytes answer;  // after the echo
  const char* modelAfter;
};

class Exchanges : public testing::TestWithParam<std::tuple<ExchangeCase, bool>> {};

TEST_P(Exchanges, AnswerFollowsEchoOfTheRequest) {
  const auto& [c, echo] = GetParam();
  SimOptions options;
  options.echo = echo;
  Line line(options);
  ASSERT_LINE(line);
  line.ExpectExchange(c.request, Join({echo ? c.request : Bytes{}, c.answer}));
  EXPECT_EQ(line.sim.Model(), c.modelAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Radio, Exchanges,
    testing::Combine(
        testing::Values(
            ExchangeCase{"Status", kStatus0, Join({{0x50}, kStatusReply}), "1ABC"},
            ExchangeCase{"StatusOtherItem", {0xF2, 0x23, 0x03, 0xE7},
                         {0x50, 0xF6, 0x8B, 0x03, 0x31, 0x41, 0x42, 0x43, 0x84}, "1ABC"},
            ExchangeCase{"EndOfJob", kEndOfJob, {0x50}, "1ABC"},
            ExchangeCase{"Update", kUpdateAbc123, Join({{0x50}, kUpdateGood}), "ABC123"},
            ExchangeCase{"UpdateOtherItem", {0xF4, 0x18, 0x03, 0x58, 0x59, 0x3F}, Join({{0x50}, kUpdateBad}),
                         "1ABC"},
            ExchangeCase{"UpdateNoItem", {0xF1, 0x18, 0xF6}, Join({{0x50}, kUpdateBad}), "1ABC"},
            ExchangeCase{"UnknownOpcode", {0xF1, 0x42, 0xCC}, {0x50, 0xF2, 0x86, 0x42, 0x45}, "1ABC"},
            ExchangeCase{"BadChecksum", {0xF1, 0x10, 0xFF}, {0x60}, "1ABC"}),
        testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Echo" : "NoEcho");
    });

TEST(Simulator, LongModelNumbersTravelInTheExtendedForm) {
  const Bytes update16{0xFF, 0x18, 0x00, 0x12, 0x02, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,
                       0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x4C};
  const Bytes status16{0xFF, 0x8B, 0x00, 0x12, 0x00, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46,
                       0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0xDB};
  SimOptions options;
  options.echo = false;
  Line line(options);
  ASSERT_LINE(line);

  line.ExpectExchange(update16, Join({{0x50}, kUpdateGood}));
  EXPECT_EQ(line.sim.Model(), "ABCDEFGHIJKLMNOP");
  line.ExpectExchange(kStatus0, Join({{0x50}, status16}));
}

TEST(Simulator, ConfiguredModelAndAcknowledgement) {
  SimOptions options;
  options.echo = false;
  options.model = "XY";
  options.ack = 0x06;
  Line line(options);
  ASSERT_LINE(line);
  line.ExpectExchange({0xF2, 0x23, 0x03, 0xE7}, {0x06, 0xF4, 0x8B, 0x03, 0x58, 0x59, 0xCC});
}

struct FaultCase {
  const char* name;
  SimFault fault;
  unsigned param;
  Bytes request;
  Bytes reply;  // everything after the echo
  Bytes echo = {};  // empty: the request itself
};

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, SpoilTheExchange) {
  const FaultCase& c = GetParam();
  Line line;
  ASSERT_LINE(line);
  line.sim.Arm(c.request[1], 1, c.fault, c.param);

  line.ExpectExchange(c.request, Join({c.echo.empty() ? c.request : c.echo, c.reply}));
  EXPECT_EQ(line.sim.Counters().faults, 1u);
  EXPECT_EQ(line.sim.Model(), "1ABC");
}

INSTANTIATE_TEST_SUITE_P(
    Radio, Faults,
    testing::Values(
        FaultCase{"Silence", SimFault::Silence, 0, kStatus0, {}},
        FaultCase{"Nak", SimFault::Nak, 0, kStatus0, {0x60}},
        FaultCase{"BadChecksum", SimFault::BadChecksum, 0, kStatus0,
                  {0x50, 0xF6, 0x8B, 0x00, 0x31, 0x41, 0x42, 0x43, 0x78}},
        FaultCase{"CutAfterHeader", SimFault::CutAfterHeader, 0, kStatus0, {0x50, 0xF6}},
        FaultCase{"Unsupported", SimFault::Unsupported, 0, kStatus0, {0x50, 0xF2, 0x86, 0x23, 0x64}},
        FaultCase{"WrongItem", SimFault::WrongItem, 0, kStatus0,
                  {0x50, 0xF6, 0x8B, 0x01, 0x31, 0x41, 0x42, 0x43, 0x86}},
        FaultCase{"UpdateRefused", SimFault::UpdateRefused, 0, kUpdateAbc123, Join({{0x50}, kUpdateBad})},
        FaultCase{"UpdateRefusedWithStatus", SimFault::UpdateRefused, 7, kUpdateAbc123,
                  {0x50, 0xF2, 0x87, 0x07, 0x7F}},
        FaultCase{"EchoMismatchHeader", SimFault::EchoMismatch, 0, kStatus0, Join({{0x50}, kStatusReply}),
                  {0x0D, 0x23, 0x00, 0xEA}},
        FaultCase{"EchoMismatchLast", SimFault::EchoMismatch, 3, kStatus0, Join({{0x50}, kStatusReply}),
                  {0xF2, 0x23, 0x00, 0x15}},
        FaultCase{"HangUpAfterHeader", SimFault::HangUp, 2, kStatus0, {0x50, 0xF6}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Simulator, FaultsHitTheArmedAttemptOfTheirOpcode) {
  SimOptions options;
  options.echo = false;
  Line line(options);
  ASSERT_LINE(line);
  line.sim.Arm(0x23, 0, SimFault::Nak);
  line.sim.Arm(0x23, 3, SimFault::CutAfterHeader);
  line.sim.Arm(0x10, 1, SimFault::Silence);

  const struct {
    Bytes request;
    Bytes answer;
  } steps[] = {
      {kStatus0, {0x60}},        // 0x23 attempt 1: every attempt
      {kEndOfJob, {}},           // 0x10 attempt 1
      {kStatus0, {0x60}},        // 0x23 attempt 2
      {kStatus0, {0x50, 0xF6}},  // 0x23 attempt 3: armed for itself
      {kEndOfJob, {0x50}},       // 0x10 attempt 2: no fault
  };
  for (const auto& step : steps) line.ExpectExchange(step.request, step.answer);

  line.sim.Disarm();
  line.ExpectExchange(kStatus0, Join({{0x50}, kStatusReply}));
}

TEST(Simulator, FirstAttemptFailsSecondSucceeds) {
  Line line;
  ASSERT_LINE(line);
  line.sim.Arm(0x23, 1, SimFault::Silence);
  line.ExpectExchange(kStatus0, kStatus0);
  line.ExpectExchange(kStatus0, Join({kStatus0, {0x50}, kStatusReply}));
}

TEST(Simulator, RecordsEveryFrameAndCountsTheExchanges) {
  SimOptions options;
  options.echo = false;
  Line line(options);
  ASSERT_LINE(line);
  const Bytes badChecksum{0xF1, 0x10, 0xFF};
  const struct {
    Bytes request;
    Bytes answer;
  } steps[] = {{kStatus0, Join({{0x50}, kStatusReply})},
               {kUpdateAbc123, Join({{0x50}, kUpdateGood})},
               {badChecksum, {0x60}},
               {kEndOfJob, {0x50}}};
  for (const auto& step : steps) line.ExpectExchange(step.request, step.answer);

  EXPECT_EQ(line.sim.Frames(), (std::vector<Bytes>{kStatus0, kUpdateAbc123, badChecksum, kEndOfJob}));
  const SimCounters n = line.sim.Counters();
  EXPECT_EQ(n.framesReceived, 4u);
  EXPECT_EQ(n.badChecksums, 1u);
  EXPECT_EQ(n.acks, 3u);
  EXPECT_EQ(n.naks, 1u);
  EXPECT_EQ(n.replies, 2u);
  EXPECT_EQ(n.endOfJobs, 1u);
  EXPECT_EQ(n.faults, 0u);
}

TEST(Simulator, FramesSplitAcrossWritesAndBackToBack) {
  SimOptions options;
  options.echo = false;
  Line line(options);
  ASSERT_LINE(line);
  line.port->Send({0xF2});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  line.port->Send({0x23, 0x00});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  line.ExpectExchange({0xEA}, Join({{0x50}, kStatusReply}));

  line.ExpectExchange(Join({kEndOfJob, kEndOfJob}), {0x50, 0x50});
  EXPECT_TRUE(line.sim.WaitForFrames(3, 10000));
}

TEST(Simulator, PartialFrameIsDroppedAfterSilence) {
  Line line;
  ASSERT_LINE(line);
  const auto sent = std::chrono::steady_clock::now();
  line.ExpectExchange({0xF2, 0x23}, {0xF2, 0x23});
  // Not before a second of silence; however late a busy machine lets it happen.
  const auto dropped = [&] { return line.sim.Counters().droppedBytes != 0; };
  while (!dropped() && SecondsSince(sent) < 30) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GE(SecondsSince(sent), 0.95);
  EXPECT_EQ(line.sim.Counters().droppedBytes, 2u);
  line.ExpectExchange(kEndOfJob, Join({kEndOfJob, {0x50}}));
  EXPECT_EQ(line.sim.Frames(), std::vector<Bytes>{kEndOfJob});
}

TEST(Simulator, PacesBytesAtTheCharacterTime) {
  SimOptions options;
  options.paceBaud = 9600;
  Line line(options);
  ASSERT_LINE(line);
  const auto start = std::chrono::steady_clock::now();
  line.port->Send(kStatus0);
  const Bytes got = line.port->Read(13);
  const double elapsed = SecondsSince(start);

  EXPECT_EQ(got, Join({kStatus0, {0x50}, kStatusReply}));
  EXPECT_GE(elapsed, 0.9 * 13 * 10 / 9600.0);
}

TEST(Simulator, TrickleSpacesTheReplyBytes) {
  SimOptions options;
  options.echo = false;
  Line line(options);
  ASSERT_LINE(line);
  line.sim.Arm(0x23, 0, SimFault::Trickle, 60);
  // Timed from the request: the nth reply byte cannot be there before n gaps
  // passed, however late this thread gets to read it.
  const auto sent = std::chrono::steady_clock::now();
  line.port->Send(kStatus0);
  ASSERT_EQ(line.port->Read(1), Bytes{0x50});

  Bytes reply;
  for (int i = 0; i < 3; ++i) {
    const Bytes b = line.port->Read(1);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_GE(SecondsSince(sent), 0.060 * (i + 1)) << "byte " << i;
    reply.push_back(b[0]);
  }
  EXPECT_EQ(reply, Bytes(kStatusReply.begin(), kStatusReply.begin() + 3));
}

TEST(Simulator, HangUpClosesTheLineUnderTheKit) {
  Line line;
  ASSERT_LINE(line);
  line.sim.Arm(0x23, 2, SimFault::HangUp, 1);
  line.ExpectExchange(kStatus0, Join({kStatus0, {0x50}, kStatusReply}));
  line.port->Send(kStatus0);
  EXPECT_EQ(line.port->Read(5), Join({kStatus0, {0x50}}));

  pollfd p{line.port->Fd(), POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 10000), 1);
  EXPECT_TRUE(p.revents & POLLHUP);
  std::uint8_t byte = 0;
  EXPECT_EQ(write(line.port->Fd(), &byte, 1), -1);
  EXPECT_EQ(errno, EIO);
  // The thread ends a moment after the line closed; no third frame came.
  EXPECT_FALSE(line.sim.WaitForFrames(3, 10000));
  EXPECT_FALSE(line.sim.Running());
}

TEST(Simulator, LineSurvivesTheKitClosingAndReopening) {
  SimOptions options;
  options.echo = false;
  SbepSimulator sim(options);
  ASSERT_TRUE(sim.Start()) << sim.Error();
  EXPECT_FALSE(sim.Start());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // nobody has the device open yet
  for (int i = 0; i < 3; ++i) {
    RawPort port(sim.DevicePath());
    ASSERT_TRUE(port.IsOpen());
    port.Send(kEndOfJob);
    EXPECT_EQ(port.Read(1), Bytes{0x50}) << "opening " << i;
  }
  EXPECT_TRUE(sim.Running());
}

TEST(Simulator, StopDoesNotWaitForASlowReplyOrAnIdleKit) {
  Line line;
  ASSERT_LINE(line);
  line.sim.Arm(0x23, 0, SimFault::Trickle, 10'000);
  line.port->Send(kStatus0);
  ASSERT_EQ(line.port->Read(5), Join({kStatus0, {0x50}}));

  const auto start = std::chrono::steady_clock::now();
  line.sim.Stop();
  EXPECT_LT(SecondsSince(start), 5.0);  // far short of the 10 s the reply would take
  EXPECT_FALSE(line.sim.Running());
  line.sim.Stop();  // a second Stop is harmless
}

TEST(Simulator, StopWhileTheKitNeverReads) {
  Line line;
  ASSERT_LINE(line);
  // Fill the terminal's buffer with answers nobody reads.
  Bytes many;
  for (int i = 0; i < 4000; ++i) many.insert(many.end(), kStatus0.begin(), kStatus0.end());
  for (std::size_t at = 0; at < many.size();) {
    const ssize_t n = write(line.port->Fd(), many.data() + at, many.size() - at);
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto start = std::chrono::steady_clock::now();
  line.sim.Stop();
  EXPECT_LT(SecondsSince(start), 5.0);
}

}  // namespace
