#include "SimArgs.h"

#include <gtest/gtest.h>

using namespace sbepsim;

namespace {

SimArgs Parsed(const std::vector<std::string>& args) {
  SimArgs out;
  std::string error;
  EXPECT_TRUE(ParseArgs(args, out, error)) << error;
  return out;
}

TEST(SimArgs, DefaultsWithoutArguments) {
  const SimArgs a = Parsed({});
  EXPECT_TRUE(a.options.echo);
  EXPECT_EQ(a.options.model, "1ABC");
  EXPECT_EQ(a.options.ack, 0x50);
  EXPECT_EQ(a.options.paceBaud, 0u);
  EXPECT_TRUE(a.faults.empty());
  EXPECT_TRUE(a.link.empty());
  EXPECT_FALSE(a.once);
  EXPECT_FALSE(a.help);
}

TEST(SimArgs, EveryOption) {
  const SimArgs a = Parsed({"--no-echo", "--model", "9XYZ", "--ack", "0x60", "--pace=300", "--link",
                            "/tmp/radio", "--once", "--fault", "23:1:nak", "--fault", "0x18:every:refuse:3"});
  EXPECT_FALSE(a.options.echo);
  EXPECT_EQ(a.options.model, "9XYZ");
  EXPECT_EQ(a.options.ack, 0x60);
  EXPECT_EQ(a.options.paceBaud, 300u);
  EXPECT_EQ(a.link, "/tmp/radio");
  EXPECT_TRUE(a.once);
  ASSERT_EQ(a.faults.size(), 2u);
  EXPECT_EQ(a.faults[0].opcode, 0x23);
  EXPECT_EQ(a.faults[0].attempt, 1u);
  EXPECT_EQ(a.faults[0].kind, SimFault::Nak);
  EXPECT_EQ(a.faults[1].opcode, 0x18);
  EXPECT_EQ(a.faults[1].attempt, 0u);
  EXPECT_EQ(a.faults[1].kind, SimFault::UpdateRefused);
  EXPECT_EQ(a.faults[1].param, 3u);
  EXPECT_EQ(Parsed({"--pace"}).options.paceBaud, 9600u);
  EXPECT_TRUE(Parsed({"--help"}).help);
}

TEST(SimArgs, EveryFaultKindHasAName) {
  for (SimFault kind : {SimFault::Silence, SimFault::Nak, SimFault::BadChecksum, SimFault::CutAfterHeader,
                        SimFault::Unsupported, SimFault::WrongItem, SimFault::UpdateRefused,
                        SimFault::EchoMismatch, SimFault::HangUp, SimFault::Trickle}) {
    ArmedFault fault;
    ASSERT_TRUE(ParseFault(std::string("10:0:") + FaultName(kind), fault)) << FaultName(kind);
    EXPECT_EQ(fault.kind, kind);
  }
}

TEST(SimArgs, BadArgumentsAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},         {"--model"},           {"--ack", "100"},       {"--ack", "zz"},
      {"--pace=0"},        {"--pace=fast"},       {"--link"},             {"--fault"},
      {"--fault", "23:1"}, {"--fault", "23:1:boom"}, {"--fault", "123:1:nak"}, {"--fault", "23:x:nak"},
      {"--fault", "23:1:nak:-1"}, {"--fault", "23:1:nak:1:2"}, {"--fault", ":1:nak"},
  };
  for (const auto& args : bad) {
    SimArgs out;
    std::string error;
    EXPECT_FALSE(ParseArgs(args, out, error)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
