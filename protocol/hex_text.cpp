#include "protocol/hex_text.h"

namespace ethconf {

std::string HexText(ByteView bytes, std::string_view separator) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * (2 + separator.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      text.append(separator);
    }
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0FU]);
  }
  return text;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

bool ParseHexText(std::string_view hex, ByteString& bytes) {
  if (hex.size() % 2 != 0) {
    return false;
  }
  ByteString parsed;
  parsed.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) {
      return false;
    }
    parsed.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  bytes = std::move(parsed);
  return true;
}

}  // namespace ethconf
