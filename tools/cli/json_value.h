#pragma once
// A small JSON document model with a strict reader and an indenting writer, enough for the
// configuration's text form. Objects keep their members in the order they were read or added.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ethconf::cli {

// Malformed JSON text; the message names the line and column.
class TJsonSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TJsonValue {
 public:
  enum class TKind { Null, Bool, Number, String, Array, Object };

  TJsonValue() = default;
  static TJsonValue Bool(bool value);
  // Integers only: the configuration holds no fractions.
  static TJsonValue Number(std::int64_t value);
  static TJsonValue String(std::string utf8);
  static TJsonValue Array();
  static TJsonValue Object();

  TKind Kind() const { return m_kind; }
  bool IsObject() const { return m_kind == TKind::Object; }
  bool IsString() const { return m_kind == TKind::String; }
  bool IsNumber() const { return m_kind == TKind::Number; }

  bool BoolValue() const { return m_bool; }
  // The number's text as it stood in the document (or as the writer will put it).
  const std::string& NumberText() const { return m_text; }
  // The number as an integer, or nothing when it has a fraction, an exponent or does not fit.
  std::optional<std::int64_t> IntegerValue() const;
  const std::string& StringValue() const { return m_text; }

  const std::vector<TJsonValue>& Items() const { return m_items; }
  const std::vector<std::string>& Keys() const { return m_keys; }
  // Members in order: Keys()[i] names Items()[i].
  const TJsonValue* Find(std::string_view key) const;

  void Append(TJsonValue item);
  // Adds a member; the caller keeps keys unique.
  void Set(std::string key, TJsonValue value);

  // A name of the kind for messages: "an object", "a number", ...
  static const char* KindName(TKind kind);

 private:
  TKind m_kind = TKind::Null;
  bool m_bool = false;
  std::string m_text;
  std::vector<TJsonValue> m_items;
  std::vector<std::string> m_keys;
  friend class TJsonParser;
};

// Parses one JSON document (RFC 8259): UTF-8 text, no trailing content, no duplicate keys in an
// object, nesting at most 64 deep. Throws TJsonSyntaxError.
TJsonValue ParseJson(std::string_view text);

// Writes the value with two-space indentation and a final newline. Control characters, and the
// C1 range U+007F..U+009F, are written as \u escapes so the text stays printable.
std::string WriteJson(const TJsonValue& value);

// The string as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view utf8);

}  // namespace ethconf::cli
