// The JSON form of the configuration: lossless both ways, and strict about what it accepts.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "config/editor_values.h"
#include "config/eth_file.h"
#include "tools/cli/config_json.h"
#include "tools/cli/json_value.h"

namespace ethconf::cli {
namespace {

TDeviceRecords WindowInitialRecords() {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(TEditorValues{}, records, states);
  return records;
}

TDeviceRecords FromImage(ByteView bytes) {
  TDeviceRecords records;
  ApplyEthFileBytes(bytes, records);
  return records;
}

TEthFileImage ThroughJson(const TEthFileImage& image) {
  TDeviceRecords back;
  ConfigFromJsonText(ConfigToJsonText(FromImage(image)), back);
  return EthFileImage(back);
}

TEST(ConfigJson, DefaultFileSurvivesTheRoundTripAndReadsAsText) {
  const TDeviceRecords records = WindowInitialRecords();
  const TEthFileImage image = EthFileImage(records);
  // The window's initial contents as its save writes them.
  const ByteString head(image.begin(), image.begin() + 19);
  EXPECT_EQ(head, (ByteString{0x01, 0xC0, 0xA8, 0x6F, 0x6F, 0xFF, 0xFF, 0xFF, 0x00, 0xC0, 0xA8,
                              0x6F, 0x01, 0xC0, 0xA8, 0x6F, 0x01, 0xAE, 0x08}));
  EXPECT_EQ(ThroughJson(image), image);

  const std::string text = ConfigToJsonText(records);
  EXPECT_NE(text.find("\"format\": \"ethconf-config\""), std::string::npos);
  EXPECT_NE(text.find("\"version\": 1"), std::string::npos);
  EXPECT_NE(text.find("\"IP\": \"192.168.111.111\""), std::string::npos);
  EXPECT_NE(text.find("\"Key\": \"3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37\""), std::string::npos);
  EXPECT_NE(text.find("\"SyncHour\": 12"), std::string::npos);
  EXPECT_NE(text.find("\"RESTInterval\": 0"), std::string::npos);

  TDeviceRecords withMark;
  ConfigFromJsonText("\xEF\xBB\xBF" + text, withMark);
  EXPECT_EQ(EthFileImage(withMark), image);
}

TEST(ConfigJson, AnyFileSurvivesTheRoundTrip) {
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> style(0, 3);
  for (int i = 0; i < 2000; ++i) {
    TEthFileImage image{};
    // Mostly zeros with some text, or raw noise: clean texts, texts with bytes behind the
    // terminator, unterminated fields and every byte value all occur.
    const int s = style(random);
    for (std::uint8_t& b : image) {
      const int v = byte(random);
      b = s == 0 ? static_cast<std::uint8_t>(v) : (v < 128 ? 0 : static_cast<std::uint8_t>(v));
    }
    ASSERT_EQ(ThroughJson(image), image) << "file " << i;
  }
  for (const std::uint8_t fill : {0x00, 0x01, 0x22, 0x5C, 0x7F, 0x81, 0x98, 0xFF}) {
    TEthFileImage image{};
    image.fill(fill);
    ASSERT_EQ(ThroughJson(image), image) << "fill " << int(fill);
  }
}

TEST(ConfigJson, FieldsOutsideTheWindowsLimitsAndUncleanTextsAreKept) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthNTP.SyncHour = 24;
  records.FEthConfig.Port = 0;
  records.FEthConfig.DHCP = 2;
  records.FEthREST.Key.bytes.fill('k');  // no terminator
  records.FEthREST.Address1.bytes = {};
  records.FEthREST.Address1.bytes[0] = 'a';
  records.FEthREST.Address1.bytes[2] = 'x';  // a byte behind the terminator

  const std::string text = ConfigToJsonText(records);
  EXPECT_NE(text.find("\"SyncHour\": 24"), std::string::npos);
  EXPECT_NE(text.find("\"Key\": \"" + std::string(41, 'k') + "\""), std::string::npos);
  EXPECT_NE(text.find("\"Address1\": {\n      \"hex\": \"610078"), std::string::npos);
  TDeviceRecords back;
  ConfigFromJsonText(text, back);
  EXPECT_EQ(EthFileImage(back), EthFileImage(records));
}

TEST(ConfigJson, PolishTextIsWrittenAsUtf8) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthNTP.Address = {};
  const std::string polish = "zażółć";
  records.FEthNTP.Address.bytes[0] = 'z';
  records.FEthNTP.Address.bytes[1] = 'a';
  records.FEthNTP.Address.bytes[2] = 0xBF;  // ż in Windows-1250
  records.FEthNTP.Address.bytes[3] = 0xF3;  // ó
  records.FEthNTP.Address.bytes[4] = 0xB3;  // ł
  records.FEthNTP.Address.bytes[5] = 0xE6;  // ć
  const std::string text = ConfigToJsonText(records);
  EXPECT_NE(text.find("\"Address\": \"" + polish + "\""), std::string::npos);
}

struct TBadInput {
  const char* what;
  const char* from;
  const char* to;
  const char* message;  // a part the error must hold
};

void PrintTo(const TBadInput& bad, std::ostream* os) {
  *os << bad.what;
}

// Each case changes one spot of the default document.
const TBadInput kBadInputs[] = {
    {"port above 16 bits", "\"Port\": 2222", "\"Port\": 65536", "Config.Port: 65536"},
    {"negative port", "\"Port1\": 5056", "\"Port1\": -1", "REST.Port1"},
    {"fractional port", "\"Port2\": 5056", "\"Port2\": 5056.5", "REST.Port2"},
    {"port as text", "\"Port\": 123", "\"Port\": \"123\"", "NTP.Port"},
    {"hour above 8 bits", "\"SyncHour\": 12", "\"SyncHour\": 256", "NTP.SyncHour"},
    {"DHCP as boolean", "\"DHCP\": 1", "\"DHCP\": true", "Config.DHCP"},
    {"address of three octets", "\"192.168.111.111\"", "\"192.168.111\"", "Config.IP"},
    {"octet above 255", "\"255.255.255.0\"", "\"255.255.256.0\"", "Config.Mask"},
    {"octet with leading zero", "\"255.255.255.0\"", "\"255.255.255.00\"", "Config.Mask"},
    {"address with a blank", "\"255.255.255.0\"", "\"255.255.255.0 \"", "Config.Mask"},
    {"text longer than its field", "\"3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37\"",
     "\"3c8e5b21-7f04-4a9d-8e62-b51d09c4fa37-1234567\"", "REST.Key: text of 44"},
    {"character outside the code page", "\"ntp.example.com\"", "\"ntp.例.com\"", "NTP.Address"},
    {"terminator inside a text", "\"sel.example.com\"", "\"sel\\u0000x\"", "REST.SELAddress"},
    {"hex of the wrong length", "\"192.0.2.10\"", "{\"hex\": \"00\"}", "REST.Address1"},
    {"hex with a non-digit", "\"192.0.2.10\"",
     "{\"hex\": \"0G00000000000000000000000000000000000000000000000000000000000000000000000000000"
     "000000000000000000000000000000000000000000000000000\"}",
     "REST.Address1: \"hex\" holds a character that is no hexadecimal digit"},
    {"unknown member in a record", "\"Port\": 2222", "\"Port\": 2222, \"Extra\": 1",
     "Config.Extra: unknown member"},
    {"unknown record", "\"version\": 1", "\"version\": 1, \"Password\": {}", "Password: unknown"},
    {"missing field", "\"DNS\": \"192.168.111.1\",", "", "Config.DNS: missing"},
    {"other version", "\"version\": 1", "\"version\": 2", "version"},
    {"trailing comma", "\"RESTInterval\": 0", "\"RESTInterval\": 0,", "malformed JSON: line"},
    {"duplicate member", "\"Port\": 2222", "\"Port\": 2222, \"Port\": 2222", "duplicate"},
    {"unterminated text", "\"ntp.example.com\"", "\"ntp.example.com", "malformed JSON"},
};

class ConfigJsonRejects : public testing::TestWithParam<TBadInput> {};

TEST_P(ConfigJsonRejects, NamingTheFieldAndChangingNothing) {
  const TBadInput& bad = GetParam();
  std::string text = ConfigToJsonText(WindowInitialRecords());
  const std::size_t at = text.find(bad.from);
  ASSERT_NE(at, std::string::npos) << bad.from;
  text.replace(at, std::string(bad.from).size(), bad.to);

  TDeviceRecords records;
  records.FEthConfig.Port = 4321;
  const TDeviceRecords before = records;
  try {
    ConfigFromJsonText(text, records);
    FAIL() << bad.what << " was accepted";
  } catch (const TConfigFormError& e) {
    EXPECT_NE(std::string(e.what()).find(bad.message), std::string::npos)
        << bad.what << ": " << e.what();
  }
  EXPECT_EQ(records, before);
}

INSTANTIATE_TEST_SUITE_P(BadInputs, ConfigJsonRejects, testing::ValuesIn(kBadInputs));

TEST(JsonValue, ReadsEscapesAndWritesThemBack) {
  const TJsonValue value =
      ParseJson(R"({"a": "q\"\\\/\b\f\n\r\t\u00e9\ud83d\ude00", "b": [1, -2e3, true, null]})");
  ASSERT_TRUE(value.IsObject());
  EXPECT_EQ(value.Find("a")->StringValue(), "q\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80");
  const auto& items = value.Find("b")->Items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].IntegerValue(), 1);
  EXPECT_FALSE(items[1].IntegerValue().has_value());
  EXPECT_EQ(ParseJson(WriteJson(value)).Find("a")->StringValue(), value.Find("a")->StringValue());
  EXPECT_EQ(JsonQuote("\x01\xC2\x81"), "\"\\u0001\\u0081\"");
}

TEST(JsonValue, RefusesMalformedText) {
  for (const char* text :
       {"", "{", "{\"a\" 1}", "[1 2]", "{\"a\": 01}", "\"\\ud800\"", "\"\\udc00\"", "\"\x01\"",
        "\"\xC3\"", "1 2", "nul", "\"\\x\"", "[-]", "1.", "1e"}) {
    EXPECT_THROW(ParseJson(text), TJsonSyntaxError) << text;
  }
  EXPECT_THROW(ParseJson(std::string(100, '[') + std::string(100, ']')), TJsonSyntaxError);
  EXPECT_NO_THROW(ParseJson(std::string(60, '[') + std::string(60, ']')));
  try {
    ParseJson("{\n  \"a\": 1,\n  x\n}");
    FAIL();
  } catch (const TJsonSyntaxError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("line 3, column 3", 0), 0u) << e.what();
  }
}

}  // namespace
}  // namespace ethconf::cli
