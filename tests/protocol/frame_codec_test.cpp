#include "protocol/frame_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "protocol/texts.h"

namespace ethconf {
namespace {

ByteString Bytes(std::initializer_list<int> values) {
  ByteString out;
  for (const int v : values) {
    out.push_back(static_cast<std::uint8_t>(v));
  }
  return out;
}

// Decodes and records every message the decoder shows.
struct DecodeResult {
  ByteString payload;
  std::vector<std::string> messages;
};

DecodeResult Decode(const ByteString& frame) {
  DecodeResult r;
  r.payload = DecodeFrame(frame, [&](std::string_view m) { r.messages.emplace_back(m); });
  return r;
}

TEST(FcsTable, MatchesThePublishedTable) {
  EXPECT_EQ(FcsTable[0], 0x0000);
  EXPECT_EQ(FcsTable[1], 0x1189);
  EXPECT_EQ(FcsTable[128], 0x8408);
  EXPECT_EQ(FcsTable[255], 0x0F78);
}

// CRC-16/X-25 from the CRC catalogue: check value 0x906E for "123456789" (init 0xFFFF,
// reflected 0x1021, final complement).
TEST(Fcs16, GivesTheCatalogueCheckValueForX25) {
  const std::string check = "123456789";
  const ByteString data(check.begin(), check.end());
  const auto fcs = static_cast<std::uint16_t>(
      Fcs16(FcsInit, data, static_cast<std::uint16_t>(data.size())) ^ 0xFFFF);
  EXPECT_EQ(fcs, 0x906E);
}

TEST(Fcs16, StopsAfterCountBytes) {
  const ByteString data = Bytes({1, 2, 3, 4});
  EXPECT_EQ(Fcs16(FcsInit, data, 2), Fcs16(FcsInit, Bytes({1, 2}), 2));
}

struct FrameVector {
  const char* name;
  ByteString payload;
  ByteString frame;
};

TEST(EncodeFrame, ProducesTheModulesFrames) {
  const std::vector<FrameVector> vectors = {
      {"read version, FCS low byte escaped", Bytes({0x02, 0x00}),
       Bytes({0x7E, 0xFF, 0x03, 0x12, 0x02, 0x00, 0x7D, 0x5D, 0x1C, 0x7E})},
      {"read status", Bytes({0x02, 0x01}),
       Bytes({0x7E, 0xFF, 0x03, 0x12, 0x02, 0x01, 0xF4, 0x0D, 0x7E})},
      {"factory settings", Bytes({0x03, 0x08}),
       Bytes({0x7E, 0xFF, 0x03, 0x12, 0x03, 0x08, 0xED, 0x89, 0x7E})},
      {"period write", Bytes({0x03, 0x05, 0x05, 0x00, 0x0F, 0x00}),
       Bytes({0x7E, 0xFF, 0x03, 0x12, 0x03, 0x05, 0x05, 0x00, 0x0F, 0x00, 0xC2, 0xC2, 0x7E})},
      {"write acknowledgement", Bytes({0x04, 0x02, 0x01}),
       Bytes({0x7E, 0xFF, 0x03, 0x12, 0x04, 0x02, 0x01, 0xE6, 0xAC, 0x7E})},
  };
  for (const auto& v : vectors) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(EncodeFrame(v.payload), v.frame);
    const DecodeResult decoded = Decode(v.frame);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.payload, v.payload);
  }
}

TEST(EncodeFrame, ContentChecksToTheGoodFcs) {
  const ByteString frame = EncodeFrame(Bytes({0x04, 0x7E, 0x7D, 0x00, 0xFF}));
  const ByteString content = UnstuffBytes(ByteView(frame).subspan(1, frame.size() - 2));
  EXPECT_EQ(Fcs16(FcsInit, content, static_cast<std::uint16_t>(content.size())), FcsGood);
}

TEST(StuffBytes, EscapesOnlyFlagAndEscape) {
  EXPECT_EQ(StuffBytes(Bytes({0x7E, 0x7D, 0x00, 0x1F, 0xFF, 0x5E})),
            Bytes({0x7D, 0x5E, 0x7D, 0x5D, 0x00, 0x1F, 0xFF, 0x5E}));
}

TEST(UnstuffBytes, UndoesOnlyTheTwoEscapesAndDropsTheRest) {
  EXPECT_EQ(UnstuffBytes(Bytes({0x7D, 0x5E})), Bytes({0x7E}));
  EXPECT_EQ(UnstuffBytes(Bytes({0x7D, 0x5D})), Bytes({0x7D}));
  EXPECT_EQ(UnstuffBytes(Bytes({0x01, 0x7D, 0x41, 0x02})), Bytes({0x01, 0x02}));
  EXPECT_EQ(UnstuffBytes(Bytes({0x01, 0x7D})), Bytes({0x01}));
  EXPECT_EQ(UnstuffBytes(Bytes({0x7D, 0x7D, 0x5E})), Bytes({0x5E}));
  EXPECT_EQ(UnstuffBytes(Bytes({})), Bytes({}));
}

TEST(DecodeFrame, ReportsEachFailureWithItsTextAndAnEmptyPayload) {
  ByteString flipped = EncodeFrame(Bytes({0x04, 0x02, 0x01}));
  flipped[5] ^= 0x01;
  ByteString trailing = EncodeFrame(Bytes({0x04, 0x02, 0x01}));
  trailing.push_back(0x00);
  ByteString twoFrames = EncodeFrame(Bytes({0x04, 0x02, 0x01}));
  const ByteString second = EncodeFrame(Bytes({0x04, 0x03, 0x01}));
  twoFrames.insert(twoFrames.end(), second.begin(), second.end());
  ByteString tooLong(kMaxFrameLength + 1, 0x00);
  tooLong.front() = 0x7E;
  tooLong.back() = 0x7E;

  const struct {
    const char* name;
    ByteString input;
    const char* message;
  } cases[] = {
      {"empty", {}, texts::kFrameSize},
      {"seven bytes", Bytes({0x7E, 0xFF, 0x03, 0x12, 0x00, 0x00, 0x7E}), texts::kFrameSize},
      {"longer than any reply", tooLong, texts::kFrameSize},
      {"eight bytes, bad format", Bytes({0x00, 0x7E, 0xFF, 0x03, 0x12, 0x00, 0x00, 0x7E}),
       texts::kFrameFormat},
      {"closing flag missing", Bytes({0x7E, 0xFF, 0x03, 0x12, 0x02, 0x00, 0x7D, 0x5D, 0x1C}),
       texts::kFrameFormat},
      {"stray byte in front", Bytes({0x55, 0x7E, 0xFF, 0x03, 0x12, 0x04, 0x02, 0x01, 0xE6, 0x7E}),
       texts::kFrameFormat},
      {"wrong header", Bytes({0x7E, 0xFF, 0x03, 0x13, 0x04, 0x02, 0x01, 0xE6, 0xAC, 0x7E}),
       texts::kFrameFormat},
      {"bit flipped", flipped, texts::kFrameChecksum},
      {"byte after the closing flag", trailing, texts::kFrameFormat},
      {"two frames back to back", twoFrames, texts::kFrameChecksum},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodeResult r = Decode(c.input);
    EXPECT_TRUE(r.payload.empty());
    ASSERT_EQ(r.messages.size(), 1U);
    EXPECT_EQ(r.messages[0], c.message);
  }
}

TEST(DecodeFrame, AcceptsTheLongestPossibleStuffedReply) {
  // A REST reply made only of bytes that need escaping stuffs to the full bound.
  ByteString payload(kLongestReplyPayload, 0x7E);
  payload[0] = CmdReply;
  payload[1] = ObjREST;
  const ByteString frame = EncodeFrame(payload);
  EXPECT_LE(frame.size(), kMaxFrameLength);
  const DecodeResult r = Decode(frame);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(r.payload, payload);
}

TEST(RoundTrip, EveryByteValueSurvives) {
  for (int b = 0; b < 256; ++b) {
    const ByteString payload = Bytes({b, b, 0x04, b});
    const DecodeResult r = Decode(EncodeFrame(payload));
    ASSERT_TRUE(r.messages.empty()) << b;
    ASSERT_EQ(r.payload, payload) << b;
  }
}

TEST(RoundTrip, RandomPayloadsDenseInFlagsAndEscapes) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> length(0, static_cast<int>(kLongestReplyPayload));
  std::uniform_int_distribution<int> pick(0, 3);
  std::uniform_int_distribution<int> any(0, 255);
  for (int i = 0; i < 20000; ++i) {
    ByteString payload(static_cast<std::size_t>(length(rng)));
    for (auto& b : payload) {
      const int p = pick(rng);
      b = static_cast<std::uint8_t>(p == 0 ? 0x7E : p == 1 ? 0x7D : any(rng));
    }
    ByteString decoded;
    const ByteString frame = EncodeFrame(payload);
    ASSERT_EQ(CheckFrame(frame, decoded),
              frame.size() < kMinFrameLength ? TFrameCheck::BadSize : TFrameCheck::Ok);
    if (frame.size() >= kMinFrameLength) {
      ASSERT_EQ(decoded, payload);
    }
  }
}

}  // namespace
}  // namespace ethconf
