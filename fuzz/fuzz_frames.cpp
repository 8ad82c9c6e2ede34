// Feeds arbitrary bytes to the receive side of the protocol: the frame decoder, the unstuffing
// and the reply parser must neither crash nor trip a sanitizer, and any payload must survive a
// trip through the encoder and decoder unchanged.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "protocol/frame_codec.h"
#include "protocol/parse_reply.h"
#include "protocol/records.h"

using namespace ethconf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView input(data, size);
  bool notified = false;
  const ByteString payload = DecodeFrame(input, [&](std::string_view) { notified = true; });
  if (!notified && payload.empty() && size > 0) {
    // An intact frame with an empty payload is possible; a silent failure is not.
    ByteString again;
    if (CheckFrame(input, again) != TFrameCheck::Ok) {
      std::abort();
    }
  }

  (void)UnstuffBytes(input);

  TEthREST rest;
  const TEthREST before = rest;
  if (!ParseReply(CmdReply, ObjREST, rest, input) && !(rest == before)) {
    std::abort();  // a refusal must leave the record untouched
  }
  std::uint8_t result = 0;
  (void)ParseReply(CmdReply, ObjConfig, std::span<std::uint8_t>(&result, 1), input);

  if (size <= kLongestReplyPayload) {
    const ByteString frame = EncodeFrame(input);
    ByteString decoded;
    // An empty payload can encode to seven bytes, which the receive side refuses as too short.
    if (frame.size() < kMinFrameLength) {
      if (CheckFrame(frame, decoded) != TFrameCheck::BadSize) {
        std::abort();
      }
      return 0;
    }
    if (CheckFrame(frame, decoded) != TFrameCheck::Ok ||
        !std::equal(decoded.begin(), decoded.end(), input.begin(), input.end())) {
      std::abort();
    }
  }
  return 0;
}
