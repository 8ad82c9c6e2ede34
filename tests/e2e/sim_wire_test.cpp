#include <gtest/gtest.h>

#include "protocol/hex_text.h"

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "tools/sim/reply_wire.h"
#include "tools/sim/request_receiver.h"
#include "tools/sim/sim_trace.h"

namespace ethconf::sim {
namespace {

using namespace std::chrono_literals;

const TSimClock::time_point kT0{};

TWireTiming Timing(std::chrono::microseconds turnaround, unsigned baud, std::size_t chunk = 0,
                   std::chrono::microseconds gap = 0ms) {
  TWireTiming timing;
  timing.turnaround = turnaround;
  timing.baud = baud;
  timing.chunk = chunk;
  timing.gap = gap;
  return timing;
}

TWireFaults Faults(bool stray, bool badFcs) {
  TWireFaults faults;
  faults.stray = stray;
  faults.badFcs = badFcs;
  return faults;
}

TEST(RequestReceiver, CutsFramesAcrossPiecesAndDropsNoise) {
  TRequestReceiver receiver;
  const ByteString read = EncodeFrame(ByteString{CmdRead, ObjVersion});
  const ByteString reset = EncodeFrame(ByteString{CmdWrite, ObjFactorySettings});

  ByteString first{0x11, 0x22};  // noise ahead of the frame
  first.insert(first.end(), read.begin(), read.begin() + 4);
  EXPECT_TRUE(receiver.Feed(first, kT0).empty());
  EXPECT_EQ(receiver.TakeDiscarded(), 2U);

  ByteString second(read.begin() + 4, read.end());
  second.push_back(FrameFlag);  // a repeated flag opens the next frame
  second.insert(second.end(), reset.begin(), reset.end());
  const auto frames = receiver.Feed(second, kT0 + 5ms);
  ASSERT_EQ(frames.size(), 2U);
  EXPECT_EQ(frames[0].bytes, read);
  EXPECT_EQ(frames[0].firstByte, kT0);
  EXPECT_EQ(frames[0].lastByte, kT0 + 5ms);
  EXPECT_EQ(frames[1].bytes, reset);
  EXPECT_EQ(frames[1].firstByte, kT0 + 5ms);
  EXPECT_EQ(receiver.TakeDiscarded(), 1U);  // the extra flag
}

TEST(RequestReceiver, GivesUpOnAFrameLongerThanAnyAndResynchronises) {
  TRequestReceiver receiver;
  ByteString junk(1, FrameFlag);
  junk.resize(kMaxFrameLength + 10, 0x55);
  EXPECT_TRUE(receiver.Feed(junk, kT0).empty());
  EXPECT_EQ(receiver.TakeDiscarded(), junk.size());
  const ByteString read = EncodeFrame(ByteString{CmdRead, ObjToken});
  const auto frames = receiver.Feed(read, kT0);
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0].bytes, read);
}

TEST(ReplyWire, CarriesThePayloadOrTheChosenFault) {
  // A payload with both bytes that need escaping, so the faults must keep the stuffing right.
  const ByteString payload{CmdReply, ObjPeriod, FrameFlag, 0x00, FrameEscape, 0x01};
  ByteString decoded;

  const ByteString plain = ReplyWire(payload, {});
  EXPECT_EQ(plain, EncodeFrame(payload));

  const ByteString stray = ReplyWire(payload, Faults(true, false));
  ASSERT_GT(stray.size(), plain.size());
  EXPECT_EQ(CheckFrame(stray, decoded), TFrameCheck::BadFormat);
  EXPECT_EQ(ByteString(stray.end() - static_cast<long>(plain.size()), stray.end()), plain);

  const ByteString bad = ReplyWire(payload, Faults(false, true));
  EXPECT_EQ(CheckFrame(bad, decoded), TFrameCheck::BadChecksum);
  EXPECT_EQ(std::count(bad.begin(), bad.end(), FrameFlag), 2);
  EXPECT_EQ(bad.front(), FrameFlag);
  EXPECT_EQ(bad.back(), FrameFlag);
}

TEST(ReplyWire, ByteTimeIsTenBitsAtTheRate) {
  EXPECT_EQ(ByteTime(0), 0ns);
  EXPECT_EQ(ByteTime(115200), 86805ns);
  EXPECT_EQ(ByteTime(9600), 1041666ns);
}

TEST(ReplyWire, SchedulesPiecesAtTheLinesPace) {
  using Offsets = std::vector<std::chrono::nanoseconds>;
  EXPECT_EQ(ArrivalOffsets(3, {}), (Offsets{0ns, 0ns, 0ns}));
  EXPECT_EQ(ArrivalOffsets(5, Timing(0ms, 0, 2, 10ms)), (Offsets{0ns, 0ns, 10ms, 10ms, 20ms}));
  const auto byte = ByteTime(9600);
  EXPECT_EQ(ArrivalOffsets(3, Timing(0ms, 9600)), (Offsets{byte, 2 * byte, 3 * byte}));
  EXPECT_EQ(ArrivalOffsets(3, Timing(0ms, 9600, 2, 10ms)),
            (Offsets{byte, 2 * byte, 2 * byte + 10ms + byte}));
  EXPECT_TRUE(ArrivalOffsets(0, Timing(0ms, 0, 2)).empty());
}

TEST(ReplyWire, AReplyStartsAfterTheRequestsWireTimeAndTheTurnaround) {
  const TWireTiming paced = Timing(1ms, 9600);
  // The request's 10 bytes take 10 byte times from its first byte on.
  EXPECT_EQ(ReplyStart(kT0, kT0, 10, paced), kT0 + 10 * ByteTime(9600) + 1ms);
  // A request that came in slower than the line counts from its last byte.
  EXPECT_EQ(ReplyStart(kT0, kT0 + 50ms, 10, paced), kT0 + 51ms);
  EXPECT_EQ(ReplyStart(kT0, kT0 + 2ms, 10, Timing(3ms, 0)), kT0 + 5ms);
}

TEST(SimTrace, DescribesFramesReadably) {
  const struct {
    ByteString frame;
    const char* text;
  } cases[] = {
      {EncodeFrame(ByteString{CmdRead, ObjREST}), "read rest"},
      {EncodeFrame(ByteString{CmdWrite, ObjPeriod, 5, 0, 15, 0}), "write period, 4 data bytes"},
      {EncodeFrame(ByteString{CmdWrite, ObjFactorySettings}), "factory reset"},
      {EncodeFrame(ByteString{CmdReply, ObjConfig, 1}), "ack config: accepted"},
      {EncodeFrame(ByteString{CmdReply, ObjNTP, 0}), "ack ntp: refused"},
      {EncodeFrame(ByteString{CmdReply, ObjNTP}), "ack ntp without result"},
      {EncodeFrame(ByteString{CmdReply, ObjPeriod, 5, 0, 15, 0}), "reply period, 4 data bytes"},
      {ByteString{0x7E, 0xFF, 0x03, 0x12, 0x02, 0x00, 0x00, 0x00, 0x7E}, "no frame: bad checksum"},
      {ByteString{0x7E, 0x7E}, "no frame: bad size"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DescribeFrame(c.frame), c.text);
  }
  EXPECT_EQ(HexText(ByteString{0x7E, 0x0A}, " "), "7E 0A");
}

}  // namespace
}  // namespace ethconf::sim
