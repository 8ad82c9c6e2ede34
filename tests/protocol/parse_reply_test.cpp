#include "protocol/parse_reply.h"

#include <gtest/gtest.h>

#include <array>

#include "protocol/constants.h"

namespace ethconf {
namespace {

TEST(ParseReply, AcknowledgementResultByte) {
  const struct {
    ByteString payload;
    bool found;
    std::uint8_t result;
  } cases[] = {
      {{0x04, 0x02, 0x01}, true, 1},  {{0x04, 0x02, 0x00}, true, 0},
      {{0x04, 0x02}, true, 0},  // no result byte: the destination keeps its 0, a refusal
      {{0x04, 0x03, 0x01}, false, 0}, {{}, false, 0},
  };
  for (const auto& c : cases) {
    std::uint8_t result = 0;
    EXPECT_EQ(ParseReply(CmdReply, ObjConfig, std::span<std::uint8_t>(&result, 1), c.payload),
              c.found);
    EXPECT_EQ(result, c.result);
  }
}

TEST(ParseReply, FindsCodeAndIdBySearchNotByPosition) {
  std::array<std::uint8_t, 4> dest = {9, 9, 9, 9};
  // Status id 0x01 is found after the reply code, behind the 02; data starts after it.
  EXPECT_TRUE(ParseReply(CmdReply, ObjStatus, std::span<std::uint8_t>(dest),
                         ByteString{0x00, 0x04, 0x02, 0x01, 0xC0, 0xA8}));
  EXPECT_EQ(dest, (std::array<std::uint8_t, 4>{0xC0, 0xA8, 9, 9}));
}

TEST(ParseReply, RefusalLeavesTheDestinationUntouched) {
  std::array<std::uint8_t, 4> dest = {9, 9, 9, 9};
  EXPECT_FALSE(ParseReply(CmdReply, ObjStatus, std::span<std::uint8_t>(dest),
                          ByteString{0x04, 0x02, 0x02, 0x02}));
  EXPECT_FALSE(ParseReply(CmdReply, ObjStatus, std::span<std::uint8_t>(dest),
                          ByteString{0x01, 0x02, 0x02, 0x02}));  // the id before any reply code
  EXPECT_EQ(dest, (std::array<std::uint8_t, 4>{9, 9, 9, 9}));
}

TEST(ParseReply, RestIdEqualsTheReplyCode) {
  TEthREST rest;
  ByteString payload = {CmdReply, ObjREST, 'a', 'b'};
  ASSERT_TRUE(ParseReply(CmdReply, ObjREST, rest, payload));
  EXPECT_EQ(rest.Address1.bytes[0], 'a');
  EXPECT_EQ(rest.Address1.bytes[1], 'b');
}

TEST(ParseReply, ShortDataFillsTheFrontAndLongDataIsCutAtTheRecordSize) {
  TEthPeriod period;
  period.DataInterval = 0x1111;
  period.RESTInterval = 0x2222;
  ASSERT_TRUE(ParseReply(CmdReply, ObjPeriod, period, ByteString{0x04, 0x05, 0x05}));
  EXPECT_EQ(period.DataInterval, 0x1105);
  EXPECT_EQ(period.RESTInterval, 0x2222);

  ASSERT_TRUE(ParseReply(CmdReply, ObjPeriod, period,
                         ByteString{0x04, 0x05, 0x05, 0x00, 0x0F, 0x00, 0xEE, 0xEE}));
  EXPECT_EQ(period.DataInterval, 5);
  EXPECT_EQ(period.RESTInterval, 15);
}

}  // namespace
}  // namespace ethconf
