#include "tools/sim/sim_state_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/sim/sim_module.h"

namespace ethconf::sim {
namespace {

namespace fs = std::filesystem;

class SimStateFile : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir =
        fs::temp_directory_path() /
        ("ethconf-sim-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  fs::path m_dir;
};

TEST_F(SimStateFile, SavesAndLoadsEveryRecord) {
  TDeviceRecords records = FactoryDefaults();
  records.FEthVersion.Minor = 42;
  records.FEthConfig.Port = 0x7E7D;
  records.FEthREST.Key.bytes[40] = 0xFF;
  records.FEthPassword.Password.bytes[0] = 0x00;
  records.FEthToken.Token.bytes[3] = 0x7E;
  const std::string path = (m_dir / "state").string();
  std::string error;
  ASSERT_TRUE(SaveStateFile(path, records, error)) << error;
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  TDeviceRecords loaded;
  ASSERT_TRUE(LoadStateFile(path, loaded, error)) << error;
  EXPECT_EQ(loaded, records);
}

TEST_F(SimStateFile, AMissingFileLeavesTheRecordsAlone) {
  TDeviceRecords records = FactoryDefaults();
  std::string error;
  EXPECT_TRUE(LoadStateFile((m_dir / "none").string(), records, error));
  EXPECT_EQ(records, FactoryDefaults());
}

TEST_F(SimStateFile, ASaveIntoAMissingFolderFailsAndSaysWhere) {
  std::string error;
  EXPECT_FALSE(SaveStateFile((m_dir / "no" / "state").string(), FactoryDefaults(), error));
  EXPECT_NE(error.find("state"), std::string::npos);
}

TEST(SimStateText, ObjectsTheTextDoesNotNameKeepTheirValues) {
  TDeviceRecords records = FactoryDefaults();
  std::string error;
  ASSERT_TRUE(ParseStateText("# comment\n\n  period 05000F00  \r\n", records, error)) << error;
  EXPECT_EQ(records.FEthPeriod.DataInterval, 5);
  EXPECT_EQ(records.FEthPeriod.RESTInterval, 15);
  TDeviceRecords expected = FactoryDefaults();
  expected.FEthPeriod = records.FEthPeriod;
  EXPECT_EQ(records, expected);
}

TEST(SimStateText, RefusesMalformedLinesWithoutChangingAnything) {
  struct Case {
    const char* text;
    const char* fault;
  };
  const Case cases[] = {
      {"clock 00\n", "line 1: unknown object \"clock\""},
      {"period 05000F\n", "line 1"},            // too short
      {"period 05000F0000\n", "line 1"},        // too long
      {"period 05000F0G\n", "line 1"},          // not hexadecimal
      {"period\n", "line 1"},                   // no image
      {"period 05000F00\nntp 12\n", "line 2"},  // the good first line is not applied either
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDeviceRecords records = FactoryDefaults();
    std::string error;
    EXPECT_FALSE(ParseStateText(c.text, records, error));
    EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    EXPECT_EQ(records, FactoryDefaults());
  }
}

}  // namespace
}  // namespace ethconf::sim
