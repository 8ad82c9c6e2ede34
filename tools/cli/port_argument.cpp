#include "tools/cli/port_argument.h"

#include <cctype>

namespace ethconf::cli {
namespace {

bool StartsWithCom(std::string_view text) {
  return text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
         std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
         std::toupper(static_cast<unsigned char>(text[2])) == 'M';
}

std::optional<std::uint16_t> PortNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5 || digits.front() == '0') {
    return std::nullopt;
  }
  unsigned value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value < 1 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string TPortTarget::FileLabel() const {
  if (devicePath.empty()) {
    return "COM" + std::to_string(number);
  }
  std::string name;
  for (const char c : devicePath) {
    name += (c == '/' || c == '\\' || c == ':') ? '_' : c;
  }
  return name;
}

std::optional<TPortTarget> ParsePortArgument(std::string_view text) {
  if (text.find('/') != std::string_view::npos || text.find('\\') != std::string_view::npos) {
    return TPortTarget{std::string(text), 1, std::string(text)};
  }
  std::string_view digits = text;
  if (StartsWithCom(digits)) {
    digits.remove_prefix(3);
    if (!digits.empty() && digits.front() == ' ') {
      digits.remove_prefix(1);
    }
  }
  const auto number = PortNumber(digits);
  if (!number) {
    return std::nullopt;
  }
  return TPortTarget{"COM " + std::to_string(*number), *number, {}};
}

}  // namespace ethconf::cli
