#include "tools/cli/file_fields.h"

#include <algorithm>

#include "protocol/ansi_codepage.h"
#include "protocol/hex_text.h"

namespace ethconf::cli {

bool IsCleanText(ByteView field) {
  const auto terminator = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::all_of(terminator, field.end(), [](std::uint8_t b) { return b == 0; });
}

TJsonValue FieldToJson(std::uint8_t value) {
  return TJsonValue::Number(value);
}

TJsonValue FieldToJson(std::uint16_t value) {
  return TJsonValue::Number(value);
}

TJsonValue FieldToJson(const TIpv4& address) {
  return TJsonValue::String(std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
                            std::to_string(address[2]) + "." + std::to_string(address[3]));
}

TJsonValue CharFieldToJson(ByteView field) {
  if (IsCleanText(field)) {
    const auto terminator = std::find(field.begin(), field.end(), std::uint8_t{0});
    const ByteView text = field.first(static_cast<std::size_t>(terminator - field.begin()));
    std::string utf8 = AnsiToUtf8(text);
    // Only a text that converts back to the same bytes may stand for them.
    if (Utf8ToAnsi(utf8) == ByteString(text.begin(), text.end())) {
      return TJsonValue::String(std::move(utf8));
    }
  }
  std::string hex = HexText(field);
  TJsonValue object = TJsonValue::Object();
  object.Set("hex", TJsonValue::String(std::move(hex)));
  return object;
}

std::vector<TFieldLine> FileFieldLines(const TDeviceRecords& records) {
  std::vector<TFieldLine> lines;
  ForEachFileField(records, [&](std::string path, const auto& field) {
    lines.push_back({std::move(path), FieldDisplay(field)});
  });
  return lines;
}

}  // namespace ethconf::cli
