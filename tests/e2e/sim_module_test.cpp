#include "tools/sim/sim_module.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/constants.h"
#include "protocol/parse_reply.h"

namespace ethconf::sim {
namespace {

ByteString Request(std::uint8_t code, std::uint8_t objectId, ByteView data = {}) {
  ByteString payload{code, objectId};
  payload.insert(payload.end(), data.begin(), data.end());
  return payload;
}

template <class R>
ByteString Image(const R& record) {
  const TImage<R> image = ToImage(record);
  return ByteString(image.begin(), image.end());
}

// The result byte of a write acknowledgement, or -1 when the reply is no acknowledgement of that
// object with exactly one result byte.
int AckResult(const std::optional<ByteString>& reply, std::uint8_t objectId) {
  if (!reply || reply->size() != 3 || (*reply)[0] != CmdReply || (*reply)[1] != objectId) {
    return -1;
  }
  return (*reply)[2];
}

TEST(SimModule, AnswersEveryReadWithTheWholeRecordAsTheToolParsesIt) {
  TSimulatedModule module;
  const TDeviceRecords defaults = FactoryDefaults();
  TDeviceRecords got;
  struct Case {
    std::uint8_t id;
    std::size_t size;
    std::function<bool(ByteView)> parse;
  };
  const Case cases[] = {
      {ObjVersion, 23,
       [&](ByteView p) { return ParseReply(CmdReply, ObjVersion, got.FEthVersion, p); }},
      {ObjStatus, 43,
       [&](ByteView p) { return ParseReply(CmdReply, ObjStatus, got.FEthStatus, p); }},
      {ObjConfig, 19,
       [&](ByteView p) { return ParseReply(CmdReply, ObjConfig, got.FEthConfig, p); }},
      {ObjToken, 16, [&](ByteView p) { return ParseReply(CmdReply, ObjToken, got.FEthToken, p); }},
      {ObjREST, 240, [&](ByteView p) { return ParseReply(CmdReply, ObjREST, got.FEthREST, p); }},
      {ObjPeriod, 4,
       [&](ByteView p) { return ParseReply(CmdReply, ObjPeriod, got.FEthPeriod, p); }},
      {ObjNTP, 69, [&](ByteView p) { return ParseReply(CmdReply, ObjNTP, got.FEthNTP, p); }},
      {ObjPassword, 21,
       [&](ByteView p) { return ParseReply(CmdReply, ObjPassword, got.FEthPassword, p); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ObjectName(c.id));
    const auto reply = module.Answer(Request(CmdRead, c.id));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 2 + c.size);
    EXPECT_EQ((*reply)[0], CmdReply);
    EXPECT_EQ((*reply)[1], c.id);
    EXPECT_TRUE(c.parse(*reply));
  }
  EXPECT_EQ(got, defaults);  // the defaults start on DHCP, so status carries the lease address
}

TEST(SimModule, DefaultsLookLikeARealModule) {
  const TDeviceRecords d = FactoryDefaults();
  // Every text the editor can hold ends with at least one 0x00, as typed text always does.
  for (const auto* field : {&d.FEthREST.Address1.bytes, &d.FEthREST.Address2.bytes,
                            &d.FEthREST.SELAddress.bytes, &d.FEthNTP.Address.bytes}) {
    EXPECT_EQ(field->back(), 0);
  }
  EXPECT_EQ(d.FEthREST.Key.bytes.back(), 0);
  EXPECT_EQ(d.FEthPassword.Password.bytes.back(), 0);
  // The MAC holds both bytes that need escaping, so a status reply always exercises stuffing.
  EXPECT_NE(std::find(d.FEthStatus.MAC.begin(), d.FEthStatus.MAC.end(), FrameFlag),
            d.FEthStatus.MAC.end());
  EXPECT_NE(std::find(d.FEthStatus.MAC.begin(), d.FEthStatus.MAC.end(), FrameEscape),
            d.FEthStatus.MAC.end());
}

TEST(SimModule, StatusReportsTheStaticAddressOnceDhcpIsOff) {
  TSimulatedModule module;
  TEthConfig config = FactoryDefaults().FEthConfig;
  config.DHCP = 0;
  config.IP = {10, 1, 2, 3};
  ASSERT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjConfig, Image(config))), ObjConfig), 1);
  TEthStatus status;
  ASSERT_TRUE(ParseReply(CmdReply, ObjStatus, status, *module.Answer(Request(CmdRead, ObjStatus))));
  EXPECT_EQ(status.IP, (TIpv4{10, 1, 2, 3}));
}

TEST(SimModule, StoresAcceptedWritesAndReadsThemBack) {
  TSimulatedModule module;
  int changes = 0;
  module.SetChangeHandler([&](const TDeviceRecords&) { ++changes; });
  TEthPeriod period;
  period.DataInterval = 5;
  period.RESTInterval = 15;
  const auto ack = module.Answer(Request(CmdWrite, ObjPeriod, Image(period)));
  EXPECT_EQ(AckResult(ack, ObjPeriod), 1);
  EXPECT_EQ(module.Records().FEthPeriod, period);
  EXPECT_EQ(*module.Answer(Request(CmdRead, ObjPeriod)), (ByteString{0x04, 0x05, 5, 0, 15, 0}));
  EXPECT_EQ(changes, 1);
  // The same image again changes nothing, so the handler is not called.
  module.Answer(Request(CmdWrite, ObjPeriod, Image(period)));
  EXPECT_EQ(changes, 1);
}

TEST(SimModule, RefusesWritesItCannotTake) {
  struct Case {
    const char* what;
    ByteString request;
    std::uint8_t id;
  };
  const ByteString shortConfig(18, 0);
  const ByteString longPeriod(5, 0);
  const Case cases[] = {
      {"short config image", Request(CmdWrite, ObjConfig, shortConfig), ObjConfig},
      {"long period image", Request(CmdWrite, ObjPeriod, longPeriod), ObjPeriod},
      {"config without data", Request(CmdWrite, ObjConfig), ObjConfig},
      {"read-only version", Request(CmdWrite, ObjVersion, ByteString(23, 1)), ObjVersion},
      {"read-only token", Request(CmdWrite, ObjToken, ByteString(16, 'x')), ObjToken},
      {"factory reset with data", Request(CmdWrite, ObjFactorySettings, ByteString{1}),
       ObjFactorySettings},
      {"unknown object", Request(CmdWrite, 0x09, ByteString{1}), 0x09},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSimulatedModule module;
    EXPECT_EQ(AckResult(module.Answer(c.request), c.id), 0);
    EXPECT_EQ(module.Records(), FactoryDefaults());
  }
}

TEST(SimModule, StaysSilentOnWhatIsNoRequest) {
  TSimulatedModule module;
  const ByteString cases[] = {
      {},
      {CmdRead},
      {CmdRead, 0x09},                // unknown object
      {CmdRead, ObjFactorySettings},  // a command, not an object
      {CmdRead, ObjConfig, 0x00},     // a read carries no data
      {CmdReply, ObjConfig, 0x01},    // the tool's own reply echoed back
      {0x05, ObjConfig},
  };
  for (const ByteString& request : cases) {
    EXPECT_FALSE(module.Answer(request)) << request.size();
  }
}

TEST(SimModule, FactoryResetRestoresTheSettingsButNotTheIdentity) {
  TDeviceRecords changed = FactoryDefaults();
  changed.FEthConfig.Port = 1;
  changed.FEthREST.Port1 = 2;
  changed.FEthNTP.SyncHour = 4;
  changed.FEthPeriod.DataInterval = 6;
  changed.FEthPassword.Password.bytes[0] = 'z';
  changed.FEthToken.Token.bytes[0] = 'T';
  changed.FEthVersion.Major = 9;
  TSimulatedModule module(changed);
  EXPECT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjFactorySettings)), ObjFactorySettings), 1);
  TDeviceRecords expected = FactoryDefaults();
  expected.FEthToken = changed.FEthToken;
  expected.FEthVersion = changed.FEthVersion;
  EXPECT_EQ(module.Records(), expected);
}

TEST(SimModule, RefusesTheChosenObjectsOnly) {
  TSimBehaviour behaviour;
  behaviour.refuse = {ObjNTP, ObjFactorySettings};
  TSimulatedModule module(FactoryDefaults(), behaviour);
  TEthNTP ntp;
  ntp.Port = 999;
  EXPECT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjNTP, Image(ntp))), ObjNTP), 0);
  EXPECT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjFactorySettings)), ObjFactorySettings), 0);
  EXPECT_EQ(module.Records().FEthNTP, FactoryDefaults().FEthNTP);
  TEthPeriod period;
  EXPECT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjPeriod, Image(period))), ObjPeriod), 1);
}

TEST(SimModule, AcknowledgesWithoutResultAndStoresNothing) {
  TSimBehaviour behaviour;
  behaviour.ackWithoutResult = true;
  TSimulatedModule module(FactoryDefaults(), behaviour);
  TEthPeriod period;
  EXPECT_EQ(*module.Answer(Request(CmdWrite, ObjPeriod, Image(period))),
            (ByteString{CmdReply, ObjPeriod}));
  EXPECT_EQ(*module.Answer(Request(CmdWrite, ObjFactorySettings)),
            (ByteString{CmdReply, ObjFactorySettings}));
  EXPECT_EQ(module.Records(), FactoryDefaults());
  // The tool counts such an acknowledgement as a refusal.
  std::uint8_t result = 0;
  EXPECT_TRUE(ParseReply(CmdReply, ObjPeriod, std::span<std::uint8_t>(&result, 1),
                         ByteString{CmdReply, ObjPeriod}));
  EXPECT_EQ(result, 0);
}

TEST(SimModule, StoresTheChosenObjectDifferentlyButAcknowledgesIt) {
  TSimBehaviour behaviour;
  behaviour.storeDifferently = ObjREST;
  TSimulatedModule module(FactoryDefaults(), behaviour);
  TEthREST rest = FactoryDefaults().FEthREST;
  rest.Port1 = 8080;
  const ByteString written = Image(rest);
  EXPECT_EQ(AckResult(module.Answer(Request(CmdWrite, ObjREST, written)), ObjREST), 1);
  const ByteString stored = Image(module.Records().FEthREST);
  ASSERT_EQ(stored.size(), written.size());
  EXPECT_NE(stored, written);
  EXPECT_EQ(std::mismatch(stored.begin() + 1, stored.end(), written.begin() + 1).first,
            stored.end());  // only the first byte differs
  // Other objects are stored as written.
  TEthPeriod period;
  period.DataInterval = 7;
  module.Answer(Request(CmdWrite, ObjPeriod, Image(period)));
  EXPECT_EQ(module.Records().FEthPeriod, period);
}

TEST(SimModule, NamesObjectsBothWays) {
  for (const std::uint8_t id :
       {ObjConfig, ObjREST, ObjNTP, ObjPeriod, ObjPassword, ObjFactorySettings}) {
    EXPECT_EQ(WritableObjectByName(ObjectName(id)), id);
  }
  EXPECT_FALSE(WritableObjectByName("version"));
  EXPECT_FALSE(WritableObjectByName("Config"));
  EXPECT_EQ(ObjectName(0x2A), "0x2A");
}

}  // namespace
}  // namespace ethconf::sim
