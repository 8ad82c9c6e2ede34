#pragma once
// Conversion between text (UTF-8) and the 8-bit code page the module stores its characters in.
//
// One byte is one character both ways. On Windows this is the system's ANSI code page; elsewhere
// it is Windows-1250, the Polish ANSI code page, from our own table, so the result never depends
// on the user's locale. The five bytes Windows-1250 leaves undefined map to the C1 controls of
// the same value, as Windows does, so any byte string survives a trip through text unchanged.

#include <string>
#include <string_view>

#include "protocol/byte_string.h"

namespace ethconf {

// The code page's replacement for a character it cannot represent.
inline constexpr std::uint8_t kAnsiReplacement = '?';

// Every byte becomes one character; 0x00 becomes U+0000.
std::string AnsiToUtf8(ByteView bytes);

// Every character becomes one byte; a character outside the code page, or a malformed UTF-8
// sequence, becomes kAnsiReplacement. At most maxUtf16Units UTF-16 code units of the text are
// taken (a character beyond the basic plane counts as two).
ByteString Utf8ToAnsi(std::string_view text, std::size_t maxUtf16Units = std::string::npos);

}  // namespace ethconf
