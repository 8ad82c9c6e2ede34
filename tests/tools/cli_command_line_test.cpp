// The tool's command line: port names, options and the refusals.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cli/command_line.h"
#include "tools/cli/port_argument.h"

namespace ethconf::cli {
namespace {

TEST(PortArgument, NumbersAndPaths) {
  struct TCase {
    const char* text;
    const char* label;
    int number;
  };
  for (const TCase& c :
       {TCase{"COM 5", "COM 5", 5}, TCase{"COM5", "COM 5", 5}, TCase{"com12", "COM 12", 12},
        TCase{"5", "COM 5", 5}, TCase{"65535", "COM 65535", 65535}}) {
    const auto port = ParsePortArgument(c.text);
    ASSERT_TRUE(port.has_value()) << c.text;
    EXPECT_EQ(port->label, c.label);
    EXPECT_EQ(port->number, c.number);
    EXPECT_TRUE(port->devicePath.empty());
  }
  const auto path = ParsePortArgument("/dev/ttyUSB0");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->devicePath, "/dev/ttyUSB0");
  EXPECT_EQ(path->FileLabel(), "_dev_ttyUSB0");
  EXPECT_EQ(ParsePortArgument("COM5")->FileLabel(), "COM5");
  for (const char* bad :
       {"", "COM", "COM 0", "0", "65536", "COM 05", "COM  5", "COM5x", "-3", "ttyUSB0"}) {
    EXPECT_FALSE(ParsePortArgument(bad).has_value()) << bad;
  }
}

TEST(CommandLine, ReadsEveryCommand) {
  TCommandLine line =
      ParseCommandLine({"write", "--port", "COM 5", "--port=7", "--json", "c.json", "--password",
                        "", "--verify", "--backup", "b-{port}.eth", "--trace"});
  EXPECT_EQ(line.kind, TCommandKind::Write);
  ASSERT_EQ(line.ports.size(), 2u);
  EXPECT_EQ(line.ports[1].number, 7);
  EXPECT_EQ(line.jsonIn, "c.json");
  EXPECT_TRUE(line.json.empty());
  EXPECT_EQ(line.password, "");
  EXPECT_TRUE(line.verify && line.trace);
  EXPECT_EQ(FileNameForPort(line.backup, line.ports[1]), "b-COM7.eth");

  line = ParseCommandLine({"read", "--port", "5", "--json", "x.json", "--out", "x.eth"});
  EXPECT_EQ(line.json, "x.json");
  EXPECT_EQ(line.out, "x.eth");
  EXPECT_EQ(ParseCommandLine({"diff", "a.eth", "b.json"}).files.size(), 2u);
  EXPECT_EQ(ParseCommandLine({"reset", "--yes", "--port", "5"}).kind, TCommandKind::Reset);
  EXPECT_EQ(ParseCommandLine({"read", "--help"}).kind, TCommandKind::Help);
  EXPECT_EQ(ParseCommandLine({}).kind, TCommandKind::Help);
}

TEST(CommandLine, RefusesWhatItCannotActOn) {
  const std::vector<std::vector<std::string>> bad = {
      {"frobnicate"},
      {"read"},
      {"read", "--port", "COM 0"},
      {"read", "--port", "5", "--port", "COM5"},
      {"read", "--port", "5", "--port", "6", "--out", "same.eth"},
      {"read", "--port", "5", "--colour"},
      {"read", "--port"},
      {"read", "--port", "5", "extra.eth"},
      {"reset", "--port", "5"},
      {"write", "--port", "5", "--in", "a.eth"},
      {"write", "--port", "5", "--password", "x"},
      {"write", "--port", "5", "--in", "a.eth", "--json", "a.json", "--password", "x"},
      {"write", "--port", "5", "--in", "a.eth", "--password", "x", "--backup", "b.txt"},
      {"show"},
      {"show", "a.eth", "--port", "5"},
      {"convert", "a.eth"},
      {"diff", "a.eth", "b.eth", "c.eth"},
      {"show", "a.eth", "--yes"},
      {"read", "--port", "5", "--verify"},
      {"read", "--trace=yes", "--port", "5"},
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const auto& a : args) {
      joined += a + " ";
    }
    EXPECT_THROW(ParseCommandLine(args), TUsageError) << joined;
  }
}

}  // namespace
}  // namespace ethconf::cli
