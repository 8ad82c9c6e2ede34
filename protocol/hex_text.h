#pragma once
// Bytes as hexadecimal text and back, for traces, state files and text forms of records.

#include <string>
#include <string_view>

#include "protocol/byte_string.h"

namespace ethconf {

// Two upper-case digits per byte, with the separator between bytes.
std::string HexText(ByteView bytes, std::string_view separator = {});

// The value of one hexadecimal digit of either case, or -1.
int HexDigitValue(char c);

// Reads pairs of digits without separators; false for an odd length or a non-digit.
bool ParseHexText(std::string_view hex, ByteString& bytes);

}  // namespace ethconf
