#include "config/char_field.h"

#include <algorithm>

#include "protocol/ansi_codepage.h"

namespace ethconf {

void TextToCharField(std::string_view text, std::span<std::uint8_t> field) {
  ByteString converted = Utf8ToAnsi(text, kCharFieldTextLimit);
  if (converted.size() > kCharFieldTextLimit) {
    converted.resize(kCharFieldTextLimit);
  }
  std::fill(field.begin(), field.end(), std::uint8_t{0});
  const std::size_t count = std::min(converted.size(), field.size());
  std::copy_n(converted.begin(), count, field.begin());
}

std::string CharFieldToText(std::span<const std::uint8_t> field) {
  std::string text = AnsiToUtf8(field);
  // U+0000 is the single byte 0x00 in UTF-8, so the text ends at the first such byte.
  const std::size_t end = text.find('\0');
  if (end != std::string::npos) {
    text.resize(end);
  }
  return text;
}

}  // namespace ethconf
