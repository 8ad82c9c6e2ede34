#include "serial/port_discovery.h"

#include <algorithm>
#include <utility>

namespace ethconf {

namespace {

constexpr int kFixedPortCount = 16;
constexpr std::int32_t kLowestPort = 1;
constexpr std::int32_t kHighestPort = 65535;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The length of the hexadecimal prefix at the start of the text, 0 when there is none.
std::size_t HexPrefixLength(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X"))
    return 2;
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
    return 1;
  return 0;
}

}  // namespace

std::optional<std::int32_t> TextToInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::string_view rest = text.substr(i);

  if (const std::size_t prefix = HexPrefixLength(rest); prefix != 0) {
    const std::string_view digits = rest.substr(prefix);
    if (digits.empty() || digits.size() > 8)
      return std::nullopt;
    std::uint32_t pattern = 0;
    for (const char c : digits) {
      const int value = HexDigitValue(c);
      if (value < 0)
        return std::nullopt;
      pattern = (pattern << 4) | static_cast<std::uint32_t>(value);
    }
    // The digits are a 32-bit pattern: $FFFFFFFF is -1. The sign negates modulo 2^32.
    if (negative)
      pattern = 0U - pattern;
    return static_cast<std::int32_t>(pattern);
  }

  if (rest.empty())
    return std::nullopt;
  std::int64_t magnitude = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9')
      return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > std::int64_t{1} << 31)
      return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX || value < INT32_MIN)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string PortEntryText(std::int32_t number) {
  std::string text = "COM ";
  text += std::to_string(number);
  return text;
}

std::vector<TPortEntry> FixedPortList() {
  std::vector<TPortEntry> entries;
  for (int n = 1; n <= kFixedPortCount; ++n)
    entries.push_back({PortEntryText(n), {}});
  return entries;
}

std::optional<std::vector<TPortEntry>> DetectedPortList(const TPortReport& report) {
  if (!report.Found || report.Values.empty())
    return std::nullopt;

  std::vector<std::pair<std::int32_t, std::string>> ports;
  for (const TPortReportValue& value : report.Values) {
    if (!value.IsText)
      throw TPortReportError("Invalid data type for '" + value.Name + "'");
    std::string text = value.Data;
    const std::size_t com = text.find("COM");
    if (com == std::string::npos)
      continue;
    text.erase(com, 3);
    const std::optional<std::int32_t> number = TextToInteger(text);
    if (!number)
      return std::nullopt;
    ports.emplace_back(*number, value.Name);
  }

  std::stable_sort(ports.begin(), ports.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TPortEntry> entries;
  entries.reserve(ports.size());
  for (auto& [number, device] : ports)
    entries.push_back({PortEntryText(number), std::move(device)});
  return entries;
}

TPortListUpdate DecidePortListUpdate(const std::vector<std::string>& currentTexts,
                                     int currentSelected, std::vector<TPortEntry> newList,
                                     bool detect) {
  std::string previous;
  if (currentTexts.empty()) {
    previous = PortEntryText(1);
  } else if (currentSelected >= 0 && currentSelected < static_cast<int>(currentTexts.size())) {
    previous = currentTexts[static_cast<std::size_t>(currentSelected)];
  }

  const bool same =
      std::equal(currentTexts.begin(), currentTexts.end(), newList.begin(), newList.end(),
                 [](const std::string& text, const TPortEntry& e) { return text == e.Text; });
  TPortListUpdate update;
  if (same)
    return update;

  update.Replace = true;
  const auto match = std::find_if(newList.begin(), newList.end(),
                                  [&](const TPortEntry& e) { return e.Text == previous; });
  if (match != newList.end()) {
    update.Selected = static_cast<int>(match - newList.begin());
  } else if (!newList.empty()) {
    update.Selected = 0;
  }
  update.Entries = std::move(newList);
  update.RunDropDown = detect;
  return update;
}

std::int32_t PortNumberOfEntry(std::string_view entryText) {
  std::string_view text = entryText;
  if (text.find("COM ") != std::string_view::npos)
    text.remove_prefix(4);
  const std::optional<std::int32_t> number = TextToInteger(text);
  if (number && *number >= kLowestPort && *number <= kHighestPort)
    return *number;
  return -1;
}

}  // namespace ethconf
