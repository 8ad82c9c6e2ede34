#include "protocol/parse_reply.h"

#include <algorithm>

namespace ethconf {

bool ParseReply(std::uint8_t replyCode, std::uint8_t objectId, std::span<std::uint8_t> dest,
                ByteView payload) {
  const auto code = std::find(payload.begin(), payload.end(), replyCode);
  if (code == payload.end()) {
    return false;
  }
  // For ObjREST the id equals the reply code; searching after the code finds the id byte.
  const auto id = std::find(code + 1, payload.end(), objectId);
  if (id == payload.end()) {
    return false;
  }
  // Data longer than the destination is cut at its size: the module's own replies carry one
  // record, and a longer one still fills the record it was meant for.
  const auto count =
      std::min<std::size_t>(static_cast<std::size_t>(payload.end() - (id + 1)), dest.size());
  std::copy_n(id + 1, count, dest.begin());
  return true;
}

}  // namespace ethconf
