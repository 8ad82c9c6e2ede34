#include "tools/sim/sim_trace.h"

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "protocol/hex_text.h"
#include "tools/sim/sim_module.h"

namespace ethconf::sim {

std::string DescribeFrame(ByteView frame) {
  ByteString payload;
  switch (CheckFrame(frame, payload)) {
    case TFrameCheck::BadSize:
      return "no frame: bad size";
    case TFrameCheck::BadFormat:
      return "no frame: bad format";
    case TFrameCheck::BadChecksum:
      return "no frame: bad checksum";
    case TFrameCheck::Ok:
      break;
  }
  if (payload.size() < 2) {
    return "frame without request code and object id";
  }
  const std::string object = ObjectName(payload[1]);
  const std::size_t data = payload.size() - 2;
  const std::string dataText = ", " + std::to_string(data) + " data bytes";
  switch (payload[0]) {
    case CmdRead:
      return "read " + object + (data == 0 ? "" : dataText);
    case CmdWrite:
      if (payload[1] == ObjFactorySettings && data == 0) {
        return "factory reset";
      }
      return "write " + object + dataText;
    case CmdReply:
      if (data == 1 && payload[1] != ObjToken && payload[1] != ObjVersion &&
          payload[1] != ObjStatus) {
        return "ack " + object + (payload[2] == 1 ? ": accepted" : ": refused");
      }
      if (data == 0) {
        return "ack " + object + " without result";
      }
      return "reply " + object + dataText;
    default:
      return "unknown request code " + HexText(ByteView(payload).first(1));
  }
}

void TSimTrace::Frame(std::string_view direction, ByteView frame) {
  if (m_out == nullptr) {
    return;
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
  std::fprintf(m_out, "[%10.3f ms] %.*s  %s | %s\n", ms, static_cast<int>(direction.size()),
               direction.data(), DescribeFrame(frame).c_str(), HexText(frame, " ").c_str());
  std::fflush(m_out);
}

void TSimTrace::Note(std::string_view text) {
  if (m_out == nullptr) {
    return;
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
  std::fprintf(m_out, "[%10.3f ms] %.*s\n", ms, static_cast<int>(text.size()), text.data());
  std::fflush(m_out);
}

}  // namespace ethconf::sim
