#include "config/settings.h"

#include <algorithm>
#include <cctype>

namespace ethconf {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool SameWord(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// A decimal number: sign, digits with an optional fraction after "." or ",", an optional
// exponent. Tells whether its value is zero.
std::optional<bool> NumberIsZero(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  bool anyDigit = false;
  bool nonZero = false;
  const auto digits = [&] {
    while (i < text.size() && IsDigit(text[i])) {
      anyDigit = true;
      nonZero = nonZero || text[i] != '0';
      ++i;
    }
  };
  digits();
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    digits();
  }
  if (!anyDigit)
    return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
      ++i;
    const std::size_t exponentStart = i;
    while (i < text.size() && IsDigit(text[i]))
      ++i;
    if (i == exponentStart)
      return std::nullopt;
  }
  if (i != text.size())
    return std::nullopt;
  return !nonZero;
}

}  // namespace

std::optional<bool> ReadBoolean(std::string_view value) {
  if (const auto zero = NumberIsZero(value))
    return !*zero;
  if (SameWord(value, "True"))
    return true;
  if (SameWord(value, "False"))
    return false;
  return std::nullopt;
}

std::string SettingsFileName(std::string_view appName) {
  std::string lower(appName);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string name(appName);
  if (const std::size_t at = lower.find(".exe"); at != std::string::npos) {
    return name.replace(at, 4, ".ini");
  }
  return name + ".ini";
}

TStartupSettings StartupSettings(const TIniFile& profile) {
  TStartupSettings settings;
  if (!profile.SectionHasKeys(kSettingsSection))
    return settings;

  bool detect = true;
  if (const auto value = profile.Read(kSettingsSection, kDetectComKey)) {
    detect = ReadBoolean(*value).value_or(true);
  }
  settings.UntickDetection = !detect;
  if (auto port = profile.Read(kSettingsSection, kComPortKey)) {
    if (!port->starts_with("COM "))
      port = "COM 1";
    settings.SelectEntry = std::move(port);
  }
  if (const auto value = profile.Read(kSettingsSection, kWithDebugKey)) {
    settings.WithDebug = ReadBoolean(*value);
  }
  return settings;
}

void StoreClosingSettings(TIniFile& profile, std::string_view selectedEntry, bool detect) {
  std::string quoted = "'";
  quoted += selectedEntry;
  quoted += '\'';
  profile.Write(kSettingsSection, kComPortKey, quoted);
  if (!detect) {
    profile.Write(kSettingsSection, kDetectComKey, "0");
  } else {
    profile.Delete(kSettingsSection, kDetectComKey);
  }
}

TIniFileResult SaveClosingSettings(const std::filesystem::path& path,
                                   std::string_view selectedEntry, bool detect) {
  TIniFile profile;
  bool found = false;
  if (TIniFileResult read = LoadIniFile(path, profile, found); !read.Ok)
    return read;
  StoreClosingSettings(profile, selectedEntry, detect);
  return SaveIniFile(path, profile);
}

}  // namespace ethconf
