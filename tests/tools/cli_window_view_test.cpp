// What the tool makes of records the way the window would: the saved form and the warnings.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/editor_values.h"
#include "tools/cli/report_format.h"
#include "tools/cli/window_view.h"

namespace ethconf::cli {
namespace {

TDeviceRecords WindowInitialRecords() {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(TEditorValues{}, records, states);
  return records;
}

bool AnyHolds(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines) {
    if (line.find(part) != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST(WindowView, SavesWhatTheEditorWouldShow) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthConfig.DHCP = 2;
  records.FEthConfig.Port = 0;
  records.FEthREST.Port1 = 0;
  records.FEthPeriod.DataInterval = 3;
  records.FEthPeriod.RESTInterval = 4000;
  records.FEthREST.Address2.bytes = {};
  records.FEthREST.Address2.bytes[0] = 'a';
  records.FEthREST.Address2.bytes[2] = 'x';
  records.FEthREST.Key.bytes.fill('k');

  const auto saved = AsWindowSaves(records);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->FEthConfig.DHCP, 0);
  EXPECT_EQ(saved->FEthConfig.Port, 1);
  EXPECT_EQ(saved->FEthREST.Port1, 1);
  EXPECT_EQ(saved->FEthPeriod.DataInterval, 5);
  EXPECT_EQ(saved->FEthPeriod.RESTInterval, 3600);
  EXPECT_EQ(saved->FEthREST.Address2.bytes[0], 'a');
  EXPECT_EQ(saved->FEthREST.Address2.bytes[2], 0);
  // A whole-width text is shown whole and written back unchanged.
  EXPECT_EQ(saved->FEthREST.Key, records.FEthREST.Key);

  const std::vector<std::string> warnings = WindowLimitWarnings(records);
  EXPECT_EQ(warnings.size(), 7u);
  EXPECT_TRUE(AnyHolds(warnings, "Config.DHCP: 2"));
  EXPECT_TRUE(AnyHolds(warnings, "Config.Port: 0"));
  EXPECT_TRUE(AnyHolds(warnings, "REST.Port1: 0"));
  EXPECT_TRUE(AnyHolds(warnings, "Period.DataInterval: 3"));
  EXPECT_TRUE(AnyHolds(warnings, "Period.RESTInterval: 4000"));
  EXPECT_TRUE(AnyHolds(warnings, "REST.Address2"));
  EXPECT_TRUE(AnyHolds(warnings, "REST.Key: text of 41 characters"));
}

TEST(WindowView, InitialContentsNeedNoWarning) {
  const TDeviceRecords records = WindowInitialRecords();
  EXPECT_TRUE(WindowLimitWarnings(records).empty());
  EXPECT_EQ(AsWindowSaves(records), records);
}

TEST(WindowView, ATimeOfNoDayCannotBeShownButOtherFieldsAreStillChecked) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthNTP.SyncHour = 24;
  records.FEthNTP.Port = 0;
  EXPECT_FALSE(AsWindowSaves(records).has_value());
  const std::vector<std::string> warnings = WindowLimitWarnings(records);
  EXPECT_EQ(warnings.size(), 2u);
  EXPECT_TRUE(AnyHolds(warnings, "NTP.SyncHour: 24"));
  EXPECT_TRUE(AnyHolds(warnings, "NTP.Port: 0"));
  EXPECT_THROW(EditorForWrite(records, "pw"), TConversionError);
}

TEST(WindowView, WriteTakesTheFileAndThePassword) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthNTP.Port = 0;
  const TEditorValues values = EditorForWrite(records, "tajne");
  EXPECT_EQ(values.ntpPort, 1);
  EXPECT_EQ(values.loginPassword, "tajne");
}

TEST(ReportFormat, DiffNamesEachDifferingFieldOnItsOwnLine) {
  const TDeviceRecords a = WindowInitialRecords();
  TDeviceRecords b = a;
  b.FEthREST.Port1 = 5057;
  b.FEthConfig.IP[3] = 7;
  b.FEthPassword.Password.bytes[0] = 'Z';  // not part of the file
  const std::vector<std::string> lines = DiffLines(a, b);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Config.IP: \"192.168.111.111\" -> \"192.168.111.7\"");
  EXPECT_EQ(lines[1], "REST.Port1: 5056 -> 5057");
  EXPECT_TRUE(DiffLines(a, a).empty());

  const std::vector<std::string> mismatches = VerifyMismatches(a, b);
  ASSERT_EQ(mismatches.size(), 3u);
  EXPECT_EQ(mismatches[2].rfind("Password:", 0), 0u);
  EXPECT_EQ(mismatches[2].find('Z'), std::string::npos);
}

}  // namespace
}  // namespace ethconf::cli
