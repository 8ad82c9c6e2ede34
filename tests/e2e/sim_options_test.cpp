#include "tools/sim/sim_options.h"

#include <gtest/gtest.h>

#include "protocol/constants.h"

namespace ethconf::sim {
namespace {

using namespace std::chrono_literals;

TEST(SimOptions, TakesEveryOptionInBothSpellings) {
  TSimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({"--port",
                               "7",
                               "--state=/tmp/x",
                               "--trace",
                               "--turnaround-ms",
                               "3",
                               "--baud=115200",
                               "--chunk",
                               "5",
                               "--gap-ms",
                               "20",
                               "--refuse",
                               "ntp,factory",
                               "--ack-without-result",
                               "--silent-after",
                               "2",
                               "--stray",
                               "--bad-fcs",
                               "--hangup-after-bytes=40",
                               "--store-differently",
                               "period"},
                              o, error))
      << error;
  EXPECT_EQ(o.port, 7);
  EXPECT_EQ(o.stateFile, "/tmp/x");
  EXPECT_TRUE(o.trace);
  EXPECT_FALSE(o.help);
  EXPECT_EQ(o.timing.turnaround, 3ms);
  EXPECT_EQ(o.timing.baud, 115200U);
  EXPECT_EQ(o.timing.chunk, 5U);
  EXPECT_EQ(o.timing.gap, 20ms);
  EXPECT_EQ(o.behaviour.refuse, (std::set<std::uint8_t>{ObjNTP, ObjFactorySettings}));
  EXPECT_TRUE(o.behaviour.ackWithoutResult);
  EXPECT_EQ(o.behaviour.storeDifferently, ObjPeriod);
  EXPECT_EQ(o.faults.silentAfter, 2U);
  EXPECT_TRUE(o.faults.wire.stray);
  EXPECT_TRUE(o.faults.wire.badFcs);
  EXPECT_EQ(o.faults.hangUpAfterBytes, 40U);
}

TEST(SimOptions, DefaultsToASoundModuleOnAnAutomaticPort) {
  TSimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({}, o, error));
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.timing.baud, 0U);
  EXPECT_FALSE(o.faults.silentAfter);
  EXPECT_FALSE(o.faults.hangUpAfterBytes);
  EXPECT_TRUE(o.behaviour.refuse.empty());
  ASSERT_TRUE(ParseSimOptions({"--help"}, o, error));
  EXPECT_TRUE(o.help);
}

TEST(SimOptions, RefusesBadArgumentsWithAReason) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--port", "0"}, "--port"},
      {{"--port", "65536"}, "--port"},
      {{"--port", "12x"}, "--port"},
      {{"--port"}, "--port needs a value"},
      {{"--baud", "0"}, "--baud"},
      {{"--turnaround-ms", "-1"}, "--turnaround-ms"},
      {{"--chunk", "0"}, "--chunk"},
      {{"--gap-ms", "5"}, "--gap-ms needs --chunk"},
      {{"--refuse", "config,version"}, "--refuse"},
      {{"--refuse", ""}, "--refuse"},
      {{"--store-differently", "factory"}, "--store-differently"},
      {{"--store-differently", "config,rest"}, "--store-differently"},
      {{"--trace=yes"}, "--trace takes no value"},
      {{"--state="}, "--state"},
      {{"--frobnicate"}, "unknown option --frobnicate"},
  };
  for (const auto& c : cases) {
    TSimOptions o;
    std::string error;
    EXPECT_FALSE(ParseSimOptions(c.args, o, error)) << c.args.front();
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(SimOptions, UsageNamesEveryOption) {
  const std::string usage = SimUsage();
  for (const char* option :
       {"--port", "--state", "--trace", "--help", "--turnaround-ms", "--baud", "--chunk",
        "--gap-ms", "--refuse", "--ack-without-result", "--store-differently", "--silent-after",
        "--stray", "--bad-fcs", "--hangup-after-bytes"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace ethconf::sim
