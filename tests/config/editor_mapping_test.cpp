#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/char_field.h"
#include "config/editor_values.h"

namespace ethconf {
namespace {

template <std::size_t N>
TCharField<N> FieldOf(std::string_view bytes) {
  TCharField<N> field;
  std::copy(bytes.begin(), bytes.end(), field.bytes.begin());
  return field;
}

// A field's full width of letters, no terminator.
template <std::size_t N>
TCharField<N> FullField(char first) {
  TCharField<N> field;
  for (std::size_t i = 0; i < N; ++i) {
    field.bytes[i] = static_cast<std::uint8_t>(first + i % 26);
  }
  return field;
}

TDeviceRecords SavedFrom(const TEditorValues& values) {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(values, records, states);
  return records;
}

TEST(EditorToRecords, InitialFieldsGiveTheDefaultRecords) {
  const TDeviceRecords records = SavedFrom(TEditorValues{});
  const TImage<TEthConfig> config = {0x01, 0xC0, 0xA8, 0x6F, 0x6F, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
                                     0xA8, 0x6F, 0x01, 0xC0, 0xA8, 0x6F, 0x01, 0xAE, 0x08};
  EXPECT_EQ(ToImage(records.FEthConfig), config);
  EXPECT_EQ(records.FEthNTP.Port, 123);
  EXPECT_EQ(records.FEthNTP.SyncHour, 12);
  EXPECT_EQ(records.FEthNTP.SyncMinute, 0);
  EXPECT_EQ(ToImage(records.FEthPeriod), (TImage<TEthPeriod>{0x05, 0x00, 0x00, 0x00}));
  EXPECT_EQ(records.FEthREST.Port1, 5056);
  EXPECT_EQ(records.FEthREST.Key, FieldOf<41>("3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37"));
  EXPECT_EQ(records.FEthPassword.Password, FieldOf<21>("vokre"));
  EXPECT_EQ(records.FEthToken, TEthToken{});
}

TEST(EditorToRecords, AppendsTheFiveWriteStatesBehindWhatIsQueued) {
  TDeviceRecords records;
  std::vector<TMachineState> states{msReadVersion};
  EditorToRecords(TEditorValues{}, records, states);
  EditorToRecords(TEditorValues{}, records, states);
  const std::vector<TMachineState> expected{
      msReadVersion, msWriteConfig,        msWriteREST,         msWriteNTP,
      msWritePeriod, msWriteLoginPassword, msWriteConfig,       msWriteREST,
      msWriteNTP,    msWritePeriod,        msWriteLoginPassword};
  EXPECT_EQ(states, expected);
}

TEST(EditorToRecords, StoresFieldsAsShown) {
  TEditorValues values;
  values.staticIp = true;
  values.ip = {10, 0, 0, 5};
  values.addr1 = "";
  values.ntpAddress = "abc";
  values.syncHour = 7;
  values.syncMinute = 5;
  values.restEnabled = true;
  values.restInterval = 15;
  TDeviceRecords records;
  records.FEthREST.Address1 = FullField<65>('a');
  records.FEthNTP.Address = FieldOf<65>(std::string_view("abc\0xyz", 7));
  std::vector<TMachineState> states;
  EditorToRecords(values, records, states);

  EXPECT_EQ(records.FEthConfig.DHCP, 0);
  EXPECT_EQ(ToImage(records.FEthConfig)[1], 0x0A);
  EXPECT_EQ(ToImage(records.FEthConfig)[4], 0x05);
  EXPECT_EQ(records.FEthREST.Address1, TCharField<65>{});
  EXPECT_EQ(records.FEthNTP.Address, FieldOf<65>("abc"));
  EXPECT_EQ(records.FEthNTP.SyncHour, 7);
  EXPECT_EQ(records.FEthNTP.SyncMinute, 5);
  EXPECT_EQ(records.FEthPeriod.RESTInterval, 15);
}

TEST(RecordsToEditor, AllZeroRecordsShowStaticAddressLowestLimitsAndEmptyTexts) {
  TEditorValues values;
  values.restEnabled = true;
  values.restInterval = 40;
  RecordsToEditor(TDeviceRecords{}, values);

  EXPECT_TRUE(values.staticIp);
  for (const TIpv4& address : {values.ip, values.mask, values.gateway, values.dns}) {
    EXPECT_EQ(address, (TIpv4{0, 0, 0, 0}));
  }
  for (int port : {values.port, values.port1, values.port2, values.ntpPort}) {
    EXPECT_EQ(port, 1);
  }
  for (const std::string& text : {values.addr1, values.addr2, values.addrSel, values.key,
                                  values.ntpAddress, values.loginPassword, values.token}) {
    EXPECT_EQ(text, "");
  }
  EXPECT_EQ(values.syncHour, 0);
  EXPECT_EQ(values.syncMinute, 0);
  EXPECT_EQ(values.dataInterval, 5);
  EXPECT_FALSE(values.restEnabled);
  EXPECT_EQ(values.restInterval, 40);
}

TEST(RecordsToEditor, OnlyDhcpOneShowsDhcpAndAnythingElseIsStoredAsStatic) {
  for (const std::uint8_t dhcp : {0, 1, 2, 255}) {
    SCOPED_TRACE(static_cast<int>(dhcp));
    TDeviceRecords records;
    records.FEthConfig.DHCP = dhcp;
    TEditorValues values;
    RecordsToEditor(records, values);
    EXPECT_EQ(values.staticIp, dhcp != 1);
    EXPECT_EQ(SavedFrom(values).FEthConfig.DHCP, dhcp == 1 ? 1 : 0);
  }
}

TEST(RecordsToEditor, SpinValuesAreClampedIntoTheirLimitsAndStoredAsShown) {
  struct TCase {
    std::uint16_t port, dataInterval, restInterval;
    int shownPort, shownData, shownRest;
  };
  const TCase cases[] = {
      {0, 3, 5, 1, 5, 10},
      {65535, 600, 4000, 65535, 600, 3600},
      {2222, 601, 15, 2222, 600, 15},
      {1, 5, 10, 1, 5, 10},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.port);
    TDeviceRecords records;
    records.FEthConfig.Port = c.port;
    records.FEthREST.Port1 = c.port;
    records.FEthREST.Port2 = c.port;
    records.FEthNTP.Port = c.port;
    records.FEthPeriod = {c.dataInterval, c.restInterval};
    TEditorValues values;
    RecordsToEditor(records, values);
    for (int port : {values.port, values.port1, values.port2, values.ntpPort}) {
      EXPECT_EQ(port, c.shownPort);
    }
    EXPECT_EQ(values.dataInterval, c.shownData);
    EXPECT_TRUE(values.restEnabled);
    EXPECT_EQ(values.restInterval, c.shownRest);

    const TDeviceRecords saved = SavedFrom(values);
    EXPECT_EQ(saved.FEthConfig.Port, c.shownPort);
    EXPECT_EQ(saved.FEthREST.Port2, c.shownPort);
    EXPECT_EQ(saved.FEthNTP.Port, c.shownPort);
    EXPECT_EQ(saved.FEthPeriod.DataInterval, c.shownData);
    EXPECT_EQ(saved.FEthPeriod.RESTInterval, c.shownRest);
  }
}

TEST(RecordsToEditor, RestIntervalZeroClearsTheBoxKeepsTheHiddenValueAndStoresZero) {
  TDeviceRecords records;
  records.FEthPeriod = {30, 0};
  TEditorValues values;
  values.restEnabled = true;
  values.restInterval = 120;
  RecordsToEditor(records, values);
  EXPECT_FALSE(values.restEnabled);
  EXPECT_EQ(values.restInterval, 120);
  EXPECT_EQ(SavedFrom(values).FEthPeriod.RESTInterval, 0);
}

TEST(RecordsToEditor, FullWidthFieldsAreShownWholeAndWrittenBackUnchanged) {
  TDeviceRecords records;
  records.FEthREST.Address1 = FullField<65>('a');
  records.FEthREST.Address2 = FullField<65>('b');
  records.FEthREST.SELAddress = FullField<65>('c');
  records.FEthREST.Key = FullField<41>('d');
  records.FEthNTP.Address = FullField<65>('e');
  records.FEthPassword.Password = FullField<21>('f');
  records.FEthToken.Token = FullField<16>('g');
  TEditorValues values;
  RecordsToEditor(records, values);
  EXPECT_EQ(values.addr1.size(), 65u);
  EXPECT_EQ(values.key.size(), 41u);
  EXPECT_EQ(values.loginPassword.size(), 21u);
  EXPECT_EQ(values.token, "ghijklmnopqrstuv");

  const TDeviceRecords saved = SavedFrom(values);
  EXPECT_EQ(saved.FEthREST.Address1, records.FEthREST.Address1);
  EXPECT_EQ(saved.FEthREST.Address2, records.FEthREST.Address2);
  EXPECT_EQ(saved.FEthREST.SELAddress, records.FEthREST.SELAddress);
  EXPECT_EQ(saved.FEthREST.Key, records.FEthREST.Key);
  EXPECT_EQ(saved.FEthNTP.Address, records.FEthNTP.Address);
  EXPECT_EQ(saved.FEthPassword, records.FEthPassword);
}

TEST(RecordsToEditor, BytesBehindATerminatorAreDroppedOnTheWayBack) {
  TDeviceRecords records;
  records.FEthREST.Address2 = FieldOf<65>(std::string_view("abc\0xyz", 7));
  TEditorValues values;
  RecordsToEditor(records, values);
  EXPECT_EQ(values.addr2, "abc");
  EXPECT_EQ(SavedFrom(values).FEthREST.Address2, FieldOf<65>("abc"));
}

TEST(RecordsToEditor, PolishTextsRoundTripThroughTheCodePage) {
  TEditorValues values;
  values.addrSel = "Zażółć gęślą jaźń";
  values.loginPassword = "Łódź";
  const TDeviceRecords records = SavedFrom(values);
  EXPECT_EQ(records.FEthREST.SELAddress,
            FieldOf<65>("Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"));
  EXPECT_EQ(records.FEthPassword.Password, FieldOf<21>("\xA3\xF3\x64\x9F"));

  TEditorValues shown;
  RecordsToEditor(records, shown);
  EXPECT_EQ(shown.addrSel, values.addrSel);
  EXPECT_EQ(shown.loginPassword, values.loginPassword);
}

TEST(RecordsToEditor, SyncTimeThatIsNoTimeOfDayStopsAfterTheNtpPort) {
  for (const auto& [hour, minute] : {std::pair<int, int>{24, 0}, {12, 60}, {255, 255}}) {
    SCOPED_TRACE(std::to_string(hour) + ":" + std::to_string(minute));
    TDeviceRecords records;
    records.FEthConfig.DHCP = 1;
    records.FEthConfig.IP = {10, 1, 2, 3};
    records.FEthREST.Key = FieldOf<41>("new-key");
    records.FEthNTP.Address = FieldOf<65>("ntp.new");
    records.FEthNTP.Port = 999;
    records.FEthNTP.SyncHour = static_cast<std::uint8_t>(hour);
    records.FEthNTP.SyncMinute = static_cast<std::uint8_t>(minute);
    records.FEthPeriod = {100, 200};
    records.FEthPassword.Password = FieldOf<21>("new-pass");
    records.FEthToken.Token = FieldOf<16>("new-token");

    TEditorValues values;
    values.staticIp = true;
    values.syncHour = 8;
    values.syncMinute = 30;
    values.token = "old-token";
    const TEditorValues before = values;
    EXPECT_THROW(RecordsToEditor(records, values), TConversionError);

    EXPECT_FALSE(values.staticIp);
    EXPECT_EQ(values.ip, (TIpv4{10, 1, 2, 3}));
    EXPECT_EQ(values.key, "new-key");
    EXPECT_EQ(values.ntpAddress, "ntp.new");
    EXPECT_EQ(values.ntpPort, 999);
    EXPECT_EQ(values.syncHour, before.syncHour);
    EXPECT_EQ(values.syncMinute, before.syncMinute);
    EXPECT_EQ(values.dataInterval, before.dataInterval);
    EXPECT_EQ(values.restEnabled, before.restEnabled);
    EXPECT_EQ(values.restInterval, before.restInterval);
    EXPECT_EQ(values.loginPassword, before.loginPassword);
    EXPECT_EQ(values.token, before.token);
  }
}

TEST(RecordsToEditor, EditorRoundTripKeepsEveryValue) {
  TEditorValues values;
  values.staticIp = true;
  values.ip = {1, 2, 3, 4};
  values.port = 65535;
  values.addr2 = "backup.example.org";
  values.syncHour = 23;
  values.syncMinute = 59;
  values.dataInterval = 600;
  values.restEnabled = true;
  values.restInterval = 3600;
  values.loginPassword = std::string(20, 'p');
  TDeviceRecords records = SavedFrom(values);
  records.FEthToken.Token = FieldOf<16>("tok");
  values.token = "tok";

  TEditorValues shown;
  RecordsToEditor(records, shown);
  EXPECT_EQ(shown, values);
}

}  // namespace
}  // namespace ethconf
