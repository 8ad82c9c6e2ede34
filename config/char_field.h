#pragma once
// Text in the editor's fields to and from the module's fixed-width 8-bit character fields.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "protocol/records.h"

namespace ethconf {

// At most this many UTF-16 code units of a text, and this many converted bytes, are considered.
inline constexpr std::size_t kCharFieldTextLimit = 255;

// Converts the text (UTF-8) to the 8-bit code page, zeroes the whole field and copies as many of
// the converted bytes as fit. A text of the field's width or more fills it with no terminator.
void TextToCharField(std::string_view text, std::span<std::uint8_t> field);

// Converts every byte of the field; the text is what comes before the first 0x00, or the whole
// field when it holds none.
std::string CharFieldToText(std::span<const std::uint8_t> field);

template <std::size_t N>
void TextToCharField(std::string_view text, TCharField<N>& field) {
  TextToCharField(text, std::span<std::uint8_t>(field.bytes));
}

template <std::size_t N>
TCharField<N> TextToCharField(std::string_view text) {
  TCharField<N> field;
  TextToCharField(text, field);
  return field;
}

template <std::size_t N>
std::string CharFieldToText(const TCharField<N>& field) {
  return CharFieldToText(std::span<const std::uint8_t>(field.bytes));
}

}  // namespace ethconf
