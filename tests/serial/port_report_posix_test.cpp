#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "serial/port_discovery.h"
#include "serial/port_report.h"

namespace ethconf {
namespace {

namespace fs = std::filesystem;

// A fake /dev, /sys/class/tty and port folder for one test.
class PortReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_root = fs::temp_directory_path() / ("ethconf-ports-" + std::to_string(random()));
    fs::create_directories(Dev());
    fs::create_directories(Sys());
    fs::create_directory(Ports());
    fs::permissions(Ports(), fs::perms::owner_all, fs::perm_options::replace);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }

  fs::path Dev() const { return m_root / "dev"; }
  fs::path Sys() const { return m_root / "sys"; }
  fs::path Ports() const { return m_root / "ports"; }
  TPortReportRoots Roots() const { return {{Ports(), Dev()}, Sys()}; }

  void Device(const std::string& name) const { std::ofstream(Dev() / name).put('\0'); }
  // A port of the serial core with its type attribute: 0 when no hardware answers.
  void SerialCorePort(const std::string& name, int type) const {
    Device(name);
    fs::create_directories(Sys() / name);
    std::ofstream(Sys() / name / "type") << type << "\n";
  }
  void Link(int port, const fs::path& target) const {
    fs::create_symlink(target, Ports() / ("COM" + std::to_string(port)));
  }

  std::vector<TPortReportValue> Values() const { return ReadPortReport(Roots()).Values; }

 private:
  fs::path m_root;
};

std::vector<std::string> Data(const std::vector<TPortReportValue>& values) {
  std::vector<std::string> data;
  for (const auto& v : values)
    data.push_back(v.Data);
  return data;
}

TEST_F(PortReportTest, ReportsExistingDevicesOfTheFixedMapOnly) {
  SerialCorePort("ttyS0", 4);
  SerialCorePort("ttyS1", 0);  // registered by the driver, no hardware
  SerialCorePort("ttyS2", 0);
  Device("ttyUSB0");
  Device("ttyUSB3");
  Device("ttyACM1");
  Device("ttyS40");
  Device("ttyUSB01");
  Device("tty0");
  Device("null");

  const auto values = Values();
  EXPECT_EQ(Data(values), (std::vector<std::string>{"COM1", "COM33", "COM36", "COM66"}));
  ASSERT_EQ(values.size(), 4U);
  EXPECT_EQ(values[1].Name, (Dev() / "ttyUSB0").string());
  for (const auto& v : values)
    EXPECT_TRUE(v.IsText);
  EXPECT_TRUE(ReadPortReport(Roots()).Found);
}

TEST_F(PortReportTest, ALinkInThePortFolderWinsOverTheFixedDevice) {
  SerialCorePort("ttyS0", 4);
  SerialCorePort("ttyS1", 4);
  Device("ttyUSB0");
  Device("pts7");
  Link(1, Dev() / "ttyUSB0");  // COM1 is the USB adapter now
  Link(2, Dev() / "missing");  // a dangling link hides ttyS1: the port would open the link
  Link(300, Dev() / "pts7");
  std::ofstream(Ports() / "notes.txt") << "x";

  const auto values = Values();
  EXPECT_EQ(Data(values), (std::vector<std::string>{"COM1", "COM33", "COM300"}));
  ASSERT_EQ(values.size(), 3U);
  EXPECT_EQ(values[0].Name, fs::canonical(Dev() / "ttyUSB0").string()) << "the device behind it";
  EXPECT_EQ(values[2].Name, fs::canonical(Dev() / "pts7").string());
}

TEST_F(PortReportTest, LinksInAFolderOthersMayWriteAreIgnored) {
  Device("ttyUSB0");
  Device("pts7");
  Link(300, Dev() / "pts7");
  fs::permissions(Ports(), fs::perms::others_write, fs::perm_options::add);

  EXPECT_EQ(Data(Values()), std::vector<std::string>{"COM33"});
}

TEST_F(PortReportTest, MissingFoldersGiveAnEmptyReportThatFallsBack) {
  const TPortReportRoots roots{{Ports() / "none", Dev() / "none"}, Sys() / "none"};
  const TPortReport report = ReadPortReport(roots);
  EXPECT_TRUE(report.Values.empty());
  EXPECT_EQ(DetectedPortList(report), std::nullopt);
}

TEST_F(PortReportTest, TheReportBecomesEntriesWithTooltips) {
  Device("ttyACM0");
  Device("ttyUSB1");
  const auto list = DetectedPortList(ReadPortReport(Roots()));
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (std::vector<TPortEntry>{{"COM 34", (Dev() / "ttyUSB1").string()},
                                            {"COM 65", (Dev() / "ttyACM0").string()}}));
}

}  // namespace
}  // namespace ethconf
