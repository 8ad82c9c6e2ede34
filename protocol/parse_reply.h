#pragma once
// Finding the reply code and object id in a decoded reply and taking its data.

#include <cstdint>
#include <span>

#include "protocol/byte_string.h"
#include "protocol/records.h"

namespace ethconf {

// Searches the payload for the first reply code, then for the first object id after it, and
// copies what follows into the start of dest, at most dest.size() bytes; the rest of dest keeps
// its bytes. Both bytes are found by search, not by position. Returns false, with dest
// untouched, when either byte is missing.
bool ParseReply(std::uint8_t replyCode, std::uint8_t objectId, std::span<std::uint8_t> dest,
                ByteView payload);

// The same for a record: the copy lands in the record's image.
template <class R>
bool ParseReply(std::uint8_t replyCode, std::uint8_t objectId, R& record, ByteView payload) {
  TImage<R> image = ToImage(record);
  if (!ParseReply(replyCode, objectId, std::span<std::uint8_t>(image), payload)) {
    return false;
  }
  FromImage(record, std::span<const std::uint8_t, R::kSize>(image));
  return true;
}

}  // namespace ethconf
