#include "tools/cli/window_view.h"

#include <algorithm>

#include "tools/cli/file_fields.h"

namespace ethconf::cli {
namespace {

// Typing limits of the character fields, by the field's width.
std::size_t TypingLimit(std::size_t width) {
  switch (width) {
    case 65:
      return static_cast<std::size_t>(kAddressMaxChars);
    case 41:
      return static_cast<std::size_t>(kKeyMaxChars);
    default:
      return width - 1;
  }
}

template <class F>
void CheckTextLength(const std::string&, const F&, std::vector<std::string>&) {}

template <std::size_t N>
void CheckTextLength(const std::string& path, const TCharField<N>& field,
                     std::vector<std::string>& warnings) {
  const auto end = std::find(field.bytes.begin(), field.bytes.end(), std::uint8_t{0});
  const auto length = static_cast<std::size_t>(end - field.bytes.begin());
  if (length > TypingLimit(N)) {
    warnings.push_back(path + ": text of " + std::to_string(length) +
                       " characters is longer than the " + std::to_string(TypingLimit(N)) +
                       " the window lets one type" +
                       (length == N ? ", and has no terminating 0x00" : ""));
  }
}

}  // namespace

std::optional<TDeviceRecords> AsWindowSaves(const TDeviceRecords& records) {
  TEditorValues values;
  try {
    RecordsToEditor(records, values);
  } catch (const TConversionError&) {
    return std::nullopt;
  }
  TDeviceRecords saved = records;
  std::vector<TMachineState> states;
  EditorToRecords(values, saved, states);
  return saved;
}

std::vector<std::string> WindowLimitWarnings(const TDeviceRecords& records) {
  std::vector<std::string> warnings;
  const TEthNTP& ntp = records.FEthNTP;
  if (ntp.SyncHour > 23) {
    warnings.push_back("NTP.SyncHour: " + std::to_string(ntp.SyncHour) +
                       " is no hour of the day (0-23); the window cannot show this "
                       "configuration");
  }
  if (ntp.SyncMinute > 59) {
    warnings.push_back("NTP.SyncMinute: " + std::to_string(ntp.SyncMinute) +
                       " is no minute of the hour (0-59); the window cannot show this "
                       "configuration");
  }
  ForEachFileField(records, [&](const std::string& path, const auto& field) {
    CheckTextLength(path, field, warnings);
  });
  // Every other difference: compare with what the window makes of the records, with the
  // time set aside so that the other fields are still checked.
  TDeviceRecords timeless = records;
  timeless.FEthNTP.SyncHour = std::min<std::uint8_t>(ntp.SyncHour, 23);
  timeless.FEthNTP.SyncMinute = std::min<std::uint8_t>(ntp.SyncMinute, 59);
  const TDeviceRecords saved = *AsWindowSaves(timeless);
  const std::vector<TFieldLine> before = FileFieldLines(timeless);
  const std::vector<TFieldLine> after = FileFieldLines(saved);
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i].value != after[i].value) {
      warnings.push_back(before[i].path + ": " + before[i].value +
                         " lies outside the window's limits; the window shows and saves " +
                         after[i].value);
    }
  }
  return warnings;
}

TEditorValues EditorForWrite(const TDeviceRecords& records, const std::string& password) {
  TEditorValues values;
  RecordsToEditor(records, values);
  values.loginPassword = password;
  return values;
}

}  // namespace ethconf::cli
