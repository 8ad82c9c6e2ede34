#include "protocol/records.h"

#include <gtest/gtest.h>

#include "protocol/frame_codec.h"

namespace ethconf {
namespace {

TEST(RecordImages, ConfigLaysOutFieldsInOrderWithPortLittleEndian) {
  TEthConfig config;
  config.DHCP = 0;
  config.IP = {192, 168, 111, 111};
  config.Mask = {255, 255, 255, 0};
  config.Gateway = {192, 168, 111, 1};
  config.DNS = {192, 168, 111, 1};
  config.Port = 2222;
  const TImage<TEthConfig> expected = {0x00, 0xC0, 0xA8, 0x6F, 0x6F, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
                                       0xA8, 0x6F, 0x01, 0xC0, 0xA8, 0x6F, 0x01, 0xAE, 0x08};
  EXPECT_EQ(ToImage(config), expected);
  EXPECT_EQ(RecordFromImage<TEthConfig>(expected), config);
}

TEST(RecordImages, SixteenBitFieldsAtOddOffsetsAreLittleEndian) {
  TEthREST rest;
  rest.Port1 = 0x1234;
  rest.Port2 = 0xBEEF;
  rest.Key.bytes[40] = 0x5A;
  const auto image = ToImage(rest);
  EXPECT_EQ(image[65], 0x34);
  EXPECT_EQ(image[66], 0x12);
  EXPECT_EQ(image[132], 0xEF);
  EXPECT_EQ(image[133], 0xBE);
  EXPECT_EQ(image[239], 0x5A);

  TEthNTP ntp;
  ntp.Port = 123;
  ntp.SyncHour = 12;
  ntp.SyncMinute = 34;
  const auto ntpImage = ToImage(ntp);
  EXPECT_EQ(ntpImage[65], 123);
  EXPECT_EQ(ntpImage[66], 0);
  EXPECT_EQ(ntpImage[67], 12);
  EXPECT_EQ(ntpImage[68], 34);
}

TEST(RecordImages, StatusCarriesAddressesInWrittenOrder) {
  TImage<TEthStatus> image{};
  image[0] = 7;
  image[1] = 'O';
  image[2] = 'K';
  const std::uint8_t tail[] = {10, 0, 0, 5, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  std::copy(std::begin(tail), std::end(tail), image.begin() + 33);
  const auto status = RecordFromImage<TEthStatus>(image);
  EXPECT_EQ(status.Status, 7);
  EXPECT_EQ(status.StatusTxt.bytes[0], 'O');
  EXPECT_EQ(status.IP, (TIpv4{10, 0, 0, 5}));
  EXPECT_EQ(status.MAC, (TMacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(ToImage(status), image);
}

TEST(RecordImages, PeriodWriteFrameMatchesTheModulesVector) {
  TEthPeriod period;
  period.DataInterval = 5;
  period.RESTInterval = 15;
  ByteString payload = {CmdWrite, ObjPeriod};
  const auto image = ToImage(period);
  payload.insert(payload.end(), image.begin(), image.end());
  const ByteString expected = {0x7E, 0xFF, 0x03, 0x12, 0x03, 0x05, 0x05,
                               0x00, 0x0F, 0x00, 0xC2, 0xC2, 0x7E};
  EXPECT_EQ(EncodeFrame(payload), expected);
}

// Any image read into a record gives back the same bytes: no field is lost or reordered.
template <class R>
void ExpectEveryImageRoundTrips() {
  TImage<R> image{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
  }
  EXPECT_EQ(ToImage(RecordFromImage<R>(image)), image);
}

TEST(RecordImages, EveryRecordRoundTripsItsImage) {
  ExpectEveryImageRoundTrips<TEthVersion>();
  ExpectEveryImageRoundTrips<TEthStatus>();
  ExpectEveryImageRoundTrips<TEthConfig>();
  ExpectEveryImageRoundTrips<TEthToken>();
  ExpectEveryImageRoundTrips<TEthREST>();
  ExpectEveryImageRoundTrips<TEthPeriod>();
  ExpectEveryImageRoundTrips<TEthNTP>();
  ExpectEveryImageRoundTrips<TEthPassword>();
}

}  // namespace
}  // namespace ethconf
