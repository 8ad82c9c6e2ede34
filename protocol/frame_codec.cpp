#include "protocol/frame_codec.h"

#include "protocol/texts.h"

namespace ethconf {

ByteString StuffBytes(ByteView data) {
  ByteString out;
  out.reserve(data.size() + data.size() / 8 + 2);
  for (const std::uint8_t b : data) {
    if (b == FrameFlag || b == FrameEscape) {
      out.push_back(FrameEscape);
      out.push_back(static_cast<std::uint8_t>(b ^ 0x20U));
    } else {
      out.push_back(b);
    }
  }
  return out;
}

ByteString UnstuffBytes(ByteView data) {
  ByteString out;
  out.reserve(data.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] != FrameEscape) {
      out.push_back(data[i]);
      continue;
    }
    if (i + 1 == data.size()) {
      break;  // a trailing escape has nothing to escape
    }
    const std::uint8_t escaped = data[++i];
    if (escaped == 0x5E) {
      out.push_back(FrameFlag);
    } else if (escaped == 0x5D) {
      out.push_back(FrameEscape);
    }
    // Any other escaped byte is not undone by XOR 0x20: the pair is dropped.
  }
  return out;
}

ByteString EncodeFrame(ByteView payload) {
  ByteString body;
  body.reserve(3 + payload.size() + 2);
  body.push_back(FrameAddress);
  body.push_back(FrameControl);
  body.push_back(FrameProtocol);
  body.insert(body.end(), payload.begin(), payload.end());
  const auto fcs = static_cast<std::uint16_t>(
      Fcs16(FcsInit, body, static_cast<std::uint16_t>(body.size())) ^ 0xFFFFU);
  body.push_back(static_cast<std::uint8_t>(fcs & 0xFFU));
  body.push_back(static_cast<std::uint8_t>(fcs >> 8));

  ByteString frame;
  frame.reserve(body.size() * 2 + 2);
  frame.push_back(FrameFlag);
  const ByteString stuffed = StuffBytes(body);
  frame.insert(frame.end(), stuffed.begin(), stuffed.end());
  frame.push_back(FrameFlag);
  return frame;
}

TFrameCheck CheckFrame(ByteView frame, ByteString& payload) {
  payload.clear();
  // Nothing longer than the longest stuffed reply can be a frame of this module; refusing it
  // here also keeps the 16-bit FCS count below from ever wrapping.
  if (frame.size() < kMinFrameLength || frame.size() > kMaxFrameLength) {
    return TFrameCheck::BadSize;
  }
  // The header is compared as received: it never needs escaping, so stuffed is plain.
  if (frame[0] != FrameFlag || frame[1] != FrameAddress || frame[2] != FrameControl ||
      frame[3] != FrameProtocol || frame.back() != FrameFlag) {
    return TFrameCheck::BadFormat;
  }
  const ByteString content = UnstuffBytes(frame.subspan(1, frame.size() - 2));
  // Running the FCS over the content and its own two FCS bytes leaves the good-FCS constant.
  if (Fcs16(FcsInit, content, static_cast<std::uint16_t>(content.size())) != FcsGood) {
    return TFrameCheck::BadChecksum;
  }
  if (content.size() >= 6) {
    payload.assign(content.begin() + 3, content.end() - 2);
  }
  return TFrameCheck::Ok;
}

std::string_view FrameCheckText(TFrameCheck check) {
  switch (check) {
    case TFrameCheck::BadSize:
      return texts::kFrameSize;
    case TFrameCheck::BadFormat:
      return texts::kFrameFormat;
    case TFrameCheck::BadChecksum:
      return texts::kFrameChecksum;
    case TFrameCheck::Ok:
      break;
  }
  return {};
}

ByteString DecodeFrame(ByteView frame, const TFrameErrorNotifier& notify) {
  ByteString payload;
  const TFrameCheck check = CheckFrame(frame, payload);
  if (check != TFrameCheck::Ok) {
    if (notify) {
      notify(FrameCheckText(check));
    }
    return {};
  }
  return payload;
}

}  // namespace ethconf
