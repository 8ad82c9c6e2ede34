#include "tools/sim/sim_state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "protocol/byte_string.h"
#include "protocol/hex_text.h"
#include "protocol/records.h"

namespace ethconf::sim {
namespace {

// Calls visit(name, record) for each record of the module, in object-id order.
template <class Records, class Visit>
void ForEachRecord(Records& r, Visit&& visit) {
  visit("version", r.FEthVersion);
  visit("status", r.FEthStatus);
  visit("config", r.FEthConfig);
  visit("token", r.FEthToken);
  visit("rest", r.FEthREST);
  visit("period", r.FEthPeriod);
  visit("ntp", r.FEthNTP);
  visit("password", r.FEthPassword);
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

}  // namespace

bool ParseStateText(const std::string& text, TDeviceRecords& records, std::string& error) {
  TDeviceRecords parsed = records;
  std::istringstream lines(text);
  std::string rawLine;
  int lineNumber = 0;
  while (std::getline(lines, rawLine)) {
    ++lineNumber;
    const std::string_view line = Trim(rawLine);
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const auto blank = line.find_first_of(" \t");
    const std::string_view name = line.substr(0, blank);
    const std::string_view hex =
        blank == std::string_view::npos ? std::string_view{} : Trim(line.substr(blank));
    bool known = false;
    bool sized = false;
    ByteString image;
    const bool isHex = ParseHexText(hex, image);
    ForEachRecord(parsed, [&](std::string_view recordName, auto& record) {
      using R = std::remove_reference_t<decltype(record)>;
      if (recordName != name) {
        return;
      }
      known = true;
      if (isHex && image.size() == R::kSize) {
        sized = true;
        FromImage(record, std::span<const std::uint8_t, R::kSize>(image.data(), R::kSize));
      }
    });
    if (!known) {
      error =
          "line " + std::to_string(lineNumber) + ": unknown object \"" + std::string(name) + "\"";
      return false;
    }
    if (!sized) {
      error = "line " + std::to_string(lineNumber) + ": \"" + std::string(name) +
              "\" needs its whole image in hexadecimal";
      return false;
    }
  }
  records = parsed;
  return true;
}

std::string StateText(const TDeviceRecords& records) {
  std::string text = "# ethconf-sim state: object name, then its byte image in hexadecimal\n";
  ForEachRecord(records, [&](std::string_view name, const auto& record) {
    text.append(name);
    text.push_back(' ');
    text.append(HexText(ToImage(record)));
    text.push_back('\n');
  });
  return text;
}

bool LoadStateFile(const std::string& path, TDeviceRecords& records, std::string& error) {
  std::error_code code;
  if (!std::filesystem::exists(path, code) && !code) {
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  if (!ParseStateText(text.str(), records, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

bool SaveStateFile(const std::string& path, const TDeviceRecords& records, std::string& error) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << StateText(records);
    out.flush();
    if (!out) {
      error = temporary + ": cannot write";
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace ethconf::sim
