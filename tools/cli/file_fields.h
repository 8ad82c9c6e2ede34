#pragma once
// The configuration file's four records walked field by field, each field named
// "<record>.<field>" ("REST.Port1"), and each field's lossless text form.

#include <string>
#include <type_traits>
#include <vector>

#include "protocol/byte_string.h"
#include "protocol/device_records.h"
#include "tools/cli/json_value.h"

namespace ethconf::cli {

// Calls visit(section, record) for the four file records in file order.
template <class Records, class Visit>
void ForEachFileRecord(Records& records, Visit&& visit) {
  visit("Config", records.FEthConfig);
  visit("REST", records.FEthREST);
  visit("NTP", records.FEthNTP);
  visit("Period", records.FEthPeriod);
}

// Calls visit(path, field) for every field of the four file records in file order.
template <class Records, class Visit>
void ForEachFileField(Records& records, Visit&& visit) {
  ForEachFileRecord(records, [&](const char* section, auto& record) {
    using R = std::remove_cvref_t<decltype(record)>;
    R::Fields(record, [&](const char* name, auto& field, std::size_t) {
      visit(std::string(section) + "." + name, field);
    });
  });
}

// Character fields: true when the field is a clean text, its bytes before the first 0x00 (all of
// them when there is none) followed by nothing but 0x00.
bool IsCleanText(ByteView field);

TJsonValue FieldToJson(std::uint8_t value);
TJsonValue FieldToJson(std::uint16_t value);
TJsonValue FieldToJson(const TIpv4& address);
TJsonValue CharFieldToJson(ByteView field);
template <std::size_t N>
TJsonValue FieldToJson(const TCharField<N>& field) {
  return CharFieldToJson(ByteView(field.bytes));
}

// The field's JSON form on one line: a number, a dotted quad or text in quotes, or {"hex": ...}.
template <class F>
std::string FieldDisplay(const F& field) {
  const TJsonValue value = FieldToJson(field);
  if (value.IsObject()) {
    return "{\"hex\": " + JsonQuote(value.Items().front().StringValue()) + "}";
  }
  return value.IsNumber() ? value.NumberText() : JsonQuote(value.StringValue());
}

struct TFieldLine {
  std::string path;
  std::string value;
};

// Every field of the four file records with its one-line form, in file order.
std::vector<TFieldLine> FileFieldLines(const TDeviceRecords& records);

}  // namespace ethconf::cli
