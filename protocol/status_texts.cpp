#include "protocol/status_texts.h"

#include <cstdio>

#include "protocol/ansi_codepage.h"

namespace ethconf {
namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

// printf-style formatting of numbers only; text fields are appended as they are, so a 0x00
// inside a field cannot cut the panel text short.
template <class... Args>
std::string FormatNumbers(const char* format, Args... args) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, format, args...);
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

std::string CharFieldText(ByteView field) {
  const std::string text = AnsiToUtf8(field);
  // Characters at or below 0x20 are single bytes in UTF-8, and every byte of a longer sequence
  // is 0x80 or above, so stripping bytes strips exactly those characters.
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlankOrControl(text[first])) {
    ++first;
  }
  while (last > first && IsBlankOrControl(text[last - 1])) {
    --last;
  }
  return text.substr(first, last - first);
}

std::string VersionPanelText(const TEthVersion& version) {
  return FormatNumbers("Wersja firmware: %2.2u.%2.2u, ", unsigned{version.Major},
                       unsigned{version.Minor}) +
         CharFieldText(version.CompilationDate) + " " + CharFieldText(version.CompilationTime);
}

std::string LinkStatusPanelText(const TEthStatus& status) {
  return "Status połączenia: " + CharFieldText(status.StatusTxt) + ".";
}

std::string IpPanelText(const TEthStatus& status) {
  const TIpv4& ip = status.IP;
  return FormatNumbers("IP: %u.%u.%u.%u", unsigned{ip[0]}, unsigned{ip[1]}, unsigned{ip[2]},
                       unsigned{ip[3]});
}

std::string MacPanelText(const TEthStatus& status) {
  const TMacAddress& mac = status.MAC;
  return FormatNumbers("MAC: %2.2X:%2.2X:%2.2X:%2.2X:%2.2X:%2.2X", unsigned{mac[0]},
                       unsigned{mac[1]}, unsigned{mac[2]}, unsigned{mac[3]}, unsigned{mac[4]},
                       unsigned{mac[5]});
}

}  // namespace ethconf
