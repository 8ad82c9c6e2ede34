#include "tools/cli/config_json.h"

#include <set>

#include "protocol/ansi_codepage.h"
#include "protocol/hex_text.h"
#include "tools/cli/file_fields.h"

namespace ethconf::cli {
namespace {

[[noreturn]] void Reject(const std::string& path, const std::string& why) {
  throw TConfigFormError(path + ": " + why);
}

std::int64_t Integer(const TJsonValue& value, const std::string& path, std::int64_t max) {
  const auto integer = value.IntegerValue();
  if (!value.IsNumber()) {
    Reject(path,
           std::string("expected a whole number, found ") + TJsonValue::KindName(value.Kind()));
  }
  if (!integer) {
    Reject(path, value.NumberText() + " is not a whole number in range 0.." + std::to_string(max));
  }
  if (*integer < 0 || *integer > max) {
    Reject(path, value.NumberText() + " is outside 0.." + std::to_string(max));
  }
  return *integer;
}

void FieldFromJson(const TJsonValue& value, std::uint8_t& field, const std::string& path) {
  field = static_cast<std::uint8_t>(Integer(value, path, 0xFF));
}

void FieldFromJson(const TJsonValue& value, std::uint16_t& field, const std::string& path) {
  field = static_cast<std::uint16_t>(Integer(value, path, 0xFFFF));
}

// Four decimal octets 0-255 separated by dots; no signs, blanks or leading zeros.
void FieldFromJson(const TJsonValue& value, TIpv4& field, const std::string& path) {
  if (!value.IsString()) {
    Reject(path, std::string("expected an address such as \"192.168.1.10\", found ") +
                     TJsonValue::KindName(value.Kind()));
  }
  const std::string& text = value.StringValue();
  const std::string bad = JsonQuote(text) + " is not an address of four numbers 0-255 (a.b.c.d)";
  TIpv4 parsed{};
  std::size_t pos = 0;
  for (std::size_t octet = 0; octet < 4; ++octet) {
    if (octet > 0) {
      if (pos >= text.size() || text[pos] != '.') {
        Reject(path, bad);
      }
      ++pos;
    }
    const std::size_t start = pos;
    unsigned number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
      number = number * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
    }
    const std::size_t digits = pos - start;
    if (digits == 0 || number > 255 || (digits > 1 && text[start] == '0')) {
      Reject(path, bad);
    }
    parsed[octet] = static_cast<std::uint8_t>(number);
  }
  if (pos != text.size()) {
    Reject(path, bad);
  }
  field = parsed;
}

void CharFieldFromHex(const TJsonValue& value, std::span<std::uint8_t> field,
                      const std::string& path) {
  if (value.Keys().size() != 1 || value.Keys().front() != "hex" ||
      !value.Items().front().IsString()) {
    Reject(path, "expected text, or an object with the one member \"hex\" holding a string");
  }
  const std::string& hex = value.Items().front().StringValue();
  if (hex.size() != field.size() * 2) {
    Reject(path, "\"hex\" must hold exactly " + std::to_string(field.size() * 2) +
                     " hexadecimal digits (" + std::to_string(field.size()) + " bytes), found " +
                     std::to_string(hex.size()) + " characters");
  }
  ByteString bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) {
      Reject(path, "\"hex\" holds a character that is no hexadecimal digit at position " +
                       std::to_string(i + (high < 0 ? 1 : 2)));
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

void CharFieldFromText(const std::string& text, std::span<std::uint8_t> field,
                       const std::string& path) {
  if (text.find('\0') != std::string::npos) {
    Reject(path,
           "text holds the character U+0000; bytes behind a terminator go in the "
           "{\"hex\": ...} form");
  }
  const ByteString bytes = Utf8ToAnsi(text);
  if (AnsiToUtf8(bytes) != text) {
    Reject(path, "text holds a character the module's code page (Windows-1250) cannot store");
  }
  if (bytes.size() > field.size()) {
    Reject(path, "text of " + std::to_string(bytes.size()) + " characters is longer than the " +
                     std::to_string(field.size()) + " the field holds");
  }
  std::fill(field.begin(), field.end(), std::uint8_t{0});
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

template <std::size_t N>
void FieldFromJson(const TJsonValue& value, TCharField<N>& field, const std::string& path) {
  TCharField<N> parsed;
  if (value.IsString()) {
    CharFieldFromText(value.StringValue(), parsed.bytes, path);
  } else if (value.IsObject()) {
    CharFieldFromHex(value, parsed.bytes, path);
  } else {
    Reject(path, std::string("expected text or {\"hex\": ...}, found ") +
                     TJsonValue::KindName(value.Kind()));
  }
  field = parsed;
}

void RejectUnknownMembers(const TJsonValue& object, const std::set<std::string>& known,
                          const std::string& prefix) {
  for (const std::string& key : object.Keys()) {
    if (known.count(key) == 0) {
      Reject(prefix + key, "unknown member");
    }
  }
}

}  // namespace

TJsonValue ConfigToJson(const TDeviceRecords& records) {
  TJsonValue document = TJsonValue::Object();
  document.Set("format", TJsonValue::String(kConfigFormatName));
  document.Set("version", TJsonValue::Number(kConfigFormatVersion));
  ForEachFileRecord(records, [&](const char* section, const auto& record) {
    using R = std::remove_cvref_t<decltype(record)>;
    TJsonValue object = TJsonValue::Object();
    R::Fields(record, [&](const char* name, const auto& field, std::size_t) {
      object.Set(name, FieldToJson(field));
    });
    document.Set(section, std::move(object));
  });
  return document;
}

std::string ConfigToJsonText(const TDeviceRecords& records) {
  return WriteJson(ConfigToJson(records));
}

void ConfigFromJson(const TJsonValue& document, TDeviceRecords& records) {
  if (!document.IsObject()) {
    throw TConfigFormError(std::string("the document must be a JSON object, found ") +
                           TJsonValue::KindName(document.Kind()));
  }
  const TJsonValue* format = document.Find("format");
  if (format == nullptr || !format->IsString() || format->StringValue() != kConfigFormatName) {
    Reject("format", std::string("expected \"") + kConfigFormatName + "\"");
  }
  const TJsonValue* version = document.Find("version");
  if (version == nullptr || version->IntegerValue() != kConfigFormatVersion) {
    Reject("version", "expected " + std::to_string(kConfigFormatVersion) +
                          " (this tool reads version " + std::to_string(kConfigFormatVersion) +
                          " only)");
  }
  std::set<std::string> sections{"format", "version"};
  ForEachFileRecord(records, [&](const char* section, const auto&) { sections.insert(section); });
  RejectUnknownMembers(document, sections, "");

  TDeviceRecords parsed = records;
  ForEachFileRecord(parsed, [&](const char* section, auto& record) {
    using R = std::remove_cvref_t<decltype(record)>;
    const TJsonValue* object = document.Find(section);
    if (object == nullptr) {
      Reject(section, "missing");
    }
    if (!object->IsObject()) {
      Reject(section,
             std::string("expected an object, found ") + TJsonValue::KindName(object->Kind()));
    }
    std::set<std::string> names;
    R::Fields(record, [&](const char* name, auto& field, std::size_t) {
      const std::string path = std::string(section) + "." + name;
      names.insert(name);
      const TJsonValue* value = object->Find(name);
      if (value == nullptr) {
        Reject(path, "missing");
      }
      FieldFromJson(*value, field, path);
    });
    RejectUnknownMembers(*object, names, std::string(section) + ".");
  });
  records = parsed;
}

void ConfigFromJsonText(std::string_view text, TDeviceRecords& records) {
  // Editors on Windows like to start UTF-8 files with a byte order mark; it carries nothing.
  static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  TJsonValue document;
  try {
    document = ParseJson(text);
  } catch (const TJsonSyntaxError& e) {
    throw TConfigFormError(std::string("malformed JSON: ") + e.what());
  }
  ConfigFromJson(document, records);
}

}  // namespace ethconf::cli
