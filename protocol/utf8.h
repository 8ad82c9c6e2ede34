#pragma once
// Minimal UTF-8 walking, for the code page conversion.

#include <cstdint>
#include <string>
#include <string_view>

namespace ethconf::utf8 {

inline constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the code point at text[pos] and advances pos past it; a malformed sequence yields
// kInvalid and advances by one byte.
char32_t Next(std::string_view text, std::size_t& pos);

void Append(std::string& out, char32_t cp);

}  // namespace ethconf::utf8
