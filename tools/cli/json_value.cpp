#include "tools/cli/json_value.h"

#include <charconv>
#include <limits>

#include "protocol/utf8.h"

namespace ethconf::cli {

TJsonValue TJsonValue::Bool(bool value) {
  TJsonValue v;
  v.m_kind = TKind::Bool;
  v.m_bool = value;
  return v;
}

TJsonValue TJsonValue::Number(std::int64_t value) {
  TJsonValue v;
  v.m_kind = TKind::Number;
  v.m_text = std::to_string(value);
  return v;
}

TJsonValue TJsonValue::String(std::string utf8) {
  TJsonValue v;
  v.m_kind = TKind::String;
  v.m_text = std::move(utf8);
  return v;
}

TJsonValue TJsonValue::Array() {
  TJsonValue v;
  v.m_kind = TKind::Array;
  return v;
}

TJsonValue TJsonValue::Object() {
  TJsonValue v;
  v.m_kind = TKind::Object;
  return v;
}

std::optional<std::int64_t> TJsonValue::IntegerValue() const {
  if (m_kind != TKind::Number) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  const char* begin = m_text.data();
  const char* end = begin + m_text.size();
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc{} || ptr != end) {
    return std::nullopt;
  }
  return value;
}

const TJsonValue* TJsonValue::Find(std::string_view key) const {
  for (std::size_t i = 0; i < m_keys.size(); ++i) {
    if (m_keys[i] == key) {
      return &m_items[i];
    }
  }
  return nullptr;
}

void TJsonValue::Append(TJsonValue item) {
  m_items.push_back(std::move(item));
}

void TJsonValue::Set(std::string key, TJsonValue value) {
  m_keys.push_back(std::move(key));
  m_items.push_back(std::move(value));
}

const char* TJsonValue::KindName(TKind kind) {
  switch (kind) {
    case TKind::Null:
      return "null";
    case TKind::Bool:
      return "a boolean";
    case TKind::Number:
      return "a number";
    case TKind::String:
      return "a string";
    case TKind::Array:
      return "an array";
    case TKind::Object:
      return "an object";
  }
  return "a value";
}

// Recursive-descent reader over the whole text; reports the position of the first fault.
class TJsonParser {
 public:
  explicit TJsonParser(std::string_view text) : m_text(text) {}

  TJsonValue Document() {
    SkipSpace();
    TJsonValue value = Value(0);
    SkipSpace();
    if (m_pos != m_text.size()) {
      Fail("unexpected text after the document");
    }
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;
  std::string_view m_text;
  std::size_t m_pos = 0;

  [[noreturn]] void Fail(const std::string& what) const {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
      if (m_text[i] == '\n') {
        ++line;
        column = 1;
      } else if ((static_cast<unsigned char>(m_text[i]) & 0xC0U) != 0x80U) {
        ++column;
      }
    }
    throw TJsonSyntaxError("line " + std::to_string(line) + ", column " + std::to_string(column) +
                           ": " + what);
  }

  bool AtEnd() const { return m_pos >= m_text.size(); }
  char Peek() const { return AtEnd() ? '\0' : m_text[m_pos]; }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
      ++m_pos;
    }
  }

  void Expect(char c) {
    if (Peek() != c || AtEnd()) {
      Fail(std::string("expected '") + c + "'");
    }
    ++m_pos;
  }

  TJsonValue Value(int depth) {
    if (depth > kMaxDepth) {
      Fail("nesting too deep");
    }
    if (AtEnd()) {
      Fail("unexpected end of the text");
    }
    const char c = Peek();
    if (c == '{') {
      return ObjectValue(depth);
    }
    if (c == '[') {
      return ArrayValue(depth);
    }
    if (c == '"') {
      return TJsonValue::String(StringText());
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      return NumberValue();
    }
    if (Literal("true")) {
      return TJsonValue::Bool(true);
    }
    if (Literal("false")) {
      return TJsonValue::Bool(false);
    }
    if (Literal("null")) {
      return TJsonValue();
    }
    Fail("expected a value");
  }

  bool Literal(std::string_view word) {
    if (m_text.substr(m_pos, word.size()) == word) {
      m_pos += word.size();
      return true;
    }
    return false;
  }

  TJsonValue ObjectValue(int depth) {
    TJsonValue object = TJsonValue::Object();
    Expect('{');
    SkipSpace();
    if (Peek() == '}') {
      ++m_pos;
      return object;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') {
        Fail("expected a member name in quotes");
      }
      const std::size_t keyPos = m_pos;
      std::string key = StringText();
      if (object.Find(key) != nullptr) {
        m_pos = keyPos;
        Fail("duplicate member \"" + key + "\"");
      }
      SkipSpace();
      Expect(':');
      SkipSpace();
      TJsonValue value = Value(depth + 1);
      object.Set(std::move(key), std::move(value));
      SkipSpace();
      if (Peek() == ',') {
        ++m_pos;
        continue;
      }
      Expect('}');
      return object;
    }
  }

  TJsonValue ArrayValue(int depth) {
    TJsonValue array = TJsonValue::Array();
    Expect('[');
    SkipSpace();
    if (Peek() == ']') {
      ++m_pos;
      return array;
    }
    for (;;) {
      SkipSpace();
      array.Append(Value(depth + 1));
      SkipSpace();
      if (Peek() == ',') {
        ++m_pos;
        continue;
      }
      Expect(']');
      return array;
    }
  }

  TJsonValue NumberValue() {
    const std::size_t start = m_pos;
    if (Peek() == '-') {
      ++m_pos;
    }
    if (Peek() == '0') {
      ++m_pos;
    } else if (Peek() >= '1' && Peek() <= '9') {
      while (Peek() >= '0' && Peek() <= '9') {
        ++m_pos;
      }
    } else {
      Fail("malformed number");
    }
    if (Peek() == '.') {
      ++m_pos;
      if (!(Peek() >= '0' && Peek() <= '9')) {
        Fail("malformed number");
      }
      while (Peek() >= '0' && Peek() <= '9') {
        ++m_pos;
      }
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++m_pos;
      if (Peek() == '+' || Peek() == '-') {
        ++m_pos;
      }
      if (!(Peek() >= '0' && Peek() <= '9')) {
        Fail("malformed number");
      }
      while (Peek() >= '0' && Peek() <= '9') {
        ++m_pos;
      }
    }
    TJsonValue number;
    number.m_kind = TJsonValue::TKind::Number;
    number.m_text = std::string(m_text.substr(start, m_pos - start));
    return number;
  }

  unsigned Hex4() {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = Peek();
      unsigned digit = 0;
      if (c >= '0' && c <= '9') {
        digit = static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        digit = static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<unsigned>(c - 'A' + 10);
      } else {
        Fail("malformed \\u escape");
      }
      value = value * 16 + digit;
      ++m_pos;
    }
    return value;
  }

  char32_t Escape() {
    const char c = Peek();
    ++m_pos;
    switch (c) {
      case '"':
        return U'"';
      case '\\':
        return U'\\';
      case '/':
        return U'/';
      case 'b':
        return U'\b';
      case 'f':
        return U'\f';
      case 'n':
        return U'\n';
      case 'r':
        return U'\r';
      case 't':
        return U'\t';
      case 'u': {
        const unsigned first = Hex4();
        if (first >= 0xDC00 && first <= 0xDFFF) {
          Fail("lone low surrogate in \\u escape");
        }
        if (first < 0xD800 || first > 0xDBFF) {
          return first;
        }
        if (!Literal("\\u")) {
          Fail("high surrogate without its low half");
        }
        const unsigned second = Hex4();
        if (second < 0xDC00 || second > 0xDFFF) {
          Fail("high surrogate without its low half");
        }
        return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
      }
      default:
        --m_pos;
        Fail("unknown escape");
    }
  }

  std::string StringText() {
    Expect('"');
    std::string out;
    for (;;) {
      if (AtEnd()) {
        Fail("unterminated string");
      }
      const auto c = static_cast<unsigned char>(Peek());
      if (c == '"') {
        ++m_pos;
        return out;
      }
      if (c < 0x20) {
        Fail("control character in a string");
      }
      if (c == '\\') {
        ++m_pos;
        utf8::Append(out, Escape());
        continue;
      }
      const std::size_t start = m_pos;
      if (utf8::Next(m_text, m_pos) == utf8::kInvalid) {
        m_pos = start;
        Fail("malformed UTF-8");
      }
      out.append(m_text.substr(start, m_pos - start));
    }
  }
};

TJsonValue ParseJson(std::string_view text) {
  return TJsonParser(text).Document();
}

std::string JsonQuote(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const char32_t cp = utf8::Next(utf8, pos);
    if (cp == U'"') {
      out += "\\\"";
    } else if (cp == U'\\') {
      out += "\\\\";
    } else if (cp == U'\n') {
      out += "\\n";
    } else if (cp == U'\t') {
      out += "\\t";
    } else if (cp == U'\r') {
      out += "\\r";
    } else if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == utf8::kInvalid) {
      // A malformed byte is written as the replacement character rather than passed on.
      const char32_t shown = cp == utf8::kInvalid ? 0xFFFD : cp;
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHex[(shown >> shift) & 0xFU];
      }
    } else {
      out.append(utf8.substr(start, pos - start));
    }
  }
  out += '"';
  return out;
}

namespace {

void Write(const TJsonValue& value, int indent, std::string& out) {
  const std::string inner(static_cast<std::size_t>(indent + 1) * 2, ' ');
  const std::string outer(static_cast<std::size_t>(indent) * 2, ' ');
  switch (value.Kind()) {
    case TJsonValue::TKind::Null:
      out += "null";
      break;
    case TJsonValue::TKind::Bool:
      out += value.BoolValue() ? "true" : "false";
      break;
    case TJsonValue::TKind::Number:
      out += value.NumberText();
      break;
    case TJsonValue::TKind::String:
      out += JsonQuote(value.StringValue());
      break;
    case TJsonValue::TKind::Array:
    case TJsonValue::TKind::Object: {
      const bool object = value.IsObject();
      out += object ? '{' : '[';
      const auto& items = value.Items();
      for (std::size_t i = 0; i < items.size(); ++i) {
        out += i == 0 ? "\n" : ",\n";
        out += inner;
        if (object) {
          out += JsonQuote(value.Keys()[i]);
          out += ": ";
        }
        Write(items[i], indent + 1, out);
      }
      if (!items.empty()) {
        out += '\n';
        out += outer;
      }
      out += object ? '}' : ']';
      break;
    }
  }
}

}  // namespace

std::string WriteJson(const TJsonValue& value) {
  std::string out;
  Write(value, 0, out);
  out += '\n';
  return out;
}

}  // namespace ethconf::cli
