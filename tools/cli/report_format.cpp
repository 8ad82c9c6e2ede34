#include "tools/cli/report_format.h"

#include <algorithm>

#include "config/char_field.h"
#include "protocol/status_texts.h"
#include "tools/cli/file_fields.h"

namespace ethconf::cli {

std::string ConfigText(const TDeviceRecords& records) {
  const std::vector<TFieldLine> lines = FileFieldLines(records);
  std::size_t width = 0;
  for (const TFieldLine& line : lines) {
    width = std::max(width, line.path.size());
  }
  std::string text;
  for (const TFieldLine& line : lines) {
    text += line.path;
    text.append(width + 2 - line.path.size(), ' ');
    text += line.value;
    text += '\n';
  }
  return text;
}

std::vector<std::string> DiffLines(const TDeviceRecords& from, const TDeviceRecords& to) {
  const std::vector<TFieldLine> a = FileFieldLines(from);
  const std::vector<TFieldLine> b = FileFieldLines(to);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].value != b[i].value) {
      lines.push_back(a[i].path + ": " + a[i].value + " -> " + b[i].value);
    }
  }
  return lines;
}

std::string ModuleText(const TDeviceRecords& records) {
  std::string text;
  text += VersionPanelText(records.FEthVersion) + "\n";
  text += LinkStatusPanelText(records.FEthStatus) + "\n";
  text += IpPanelText(records.FEthStatus) + "\n";
  text += MacPanelText(records.FEthStatus) + "\n";
  text += "Token: " + CharFieldToText(records.FEthToken.Token) + "\n";
  const auto& password = records.FEthPassword.Password.bytes;
  const auto length =
      std::find(password.begin(), password.end(), std::uint8_t{0}) - password.begin();
  text += "Hasło logowania: " + std::string(static_cast<std::size_t>(length), '*') + "\n";
  return text;
}

std::vector<std::string> VerifyMismatches(const TDeviceRecords& written,
                                          const TDeviceRecords& returned) {
  const std::vector<TFieldLine> a = FileFieldLines(written);
  const std::vector<TFieldLine> b = FileFieldLines(returned);
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].value != b[i].value) {
      lines.push_back(a[i].path + ": wrote " + a[i].value + ", the module returned " + b[i].value);
    }
  }
  if (written.FEthPassword != returned.FEthPassword) {
    lines.push_back("Password: the module returned another password than the one written");
  }
  return lines;
}

}  // namespace ethconf::cli
