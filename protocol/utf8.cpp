#include "protocol/utf8.h"

namespace ethconf::utf8 {

char32_t Next(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int extra = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  if ((lead & 0xE0U) == 0xC0U) {
    extra = 1;
    cp = lead & 0x1FU;
  } else if ((lead & 0xF0U) == 0xE0U) {
    extra = 2;
    cp = lead & 0x0FU;
  } else if ((lead & 0xF8U) == 0xF0U) {
    extra = 3;
    cp = lead & 0x07U;
  } else {
    ++pos;
    return kInvalid;
  }
  if (pos + static_cast<std::size_t>(extra) >= text.size()) {
    ++pos;
    return kInvalid;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((b & 0xC0U) != 0x80U) {
      ++pos;
      return kInvalid;
    }
    cp = (cp << 6) | (b & 0x3FU);
  }
  static constexpr char32_t kMinForLength[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kInvalid;
  }
  pos += static_cast<std::size_t>(extra) + 1;
  return cp;
}

void Append(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace ethconf::utf8
