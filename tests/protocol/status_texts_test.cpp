#include "protocol/status_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace ethconf {
namespace {

TEST(CharFieldText, ConvertsTheWholeWidthAndStripsBlanksAndControlsAtBothEnds) {
  const struct {
    const char* name;
    ByteString field;
    std::string text;
  } cases[] = {
      {"padded with 0x00", {'J', 'a', 'n', 0, 0, 0}, "Jan"},
      {"blanks and controls around, blanks inside kept",
       {' ', '\t', 'a', ' ', 'b', '\r', '\n', 0},
       "a b"},
      {"full width, no padding", {'1', '2', ':', '3', '4'}, "12:34"},
      {"0x00 inside the text is kept", {'a', 0, 'b', 0}, std::string("a\0b", 3)},
      {"code page letters; no-break space is not stripped",
       {0xA0, 0xB3, 0xB9, 0x8C, 0},
       "\u00A0łąŚ"},
      {"only padding", {0, 0, 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CharFieldText(c.field), c.text);
  }
}

TEST(PanelTexts, FormatTheVersionAndStatusRecords) {
  TEthVersion version;
  version.Major = 1;
  version.Minor = 5;
  std::copy_n("Jan 15 2018", 11, version.CompilationDate.bytes.begin());
  std::copy_n("12:34:56", 8, version.CompilationTime.bytes.begin());
  EXPECT_EQ(VersionPanelText(version), "Wersja firmware: 01.05, Jan 15 2018 12:34:56");
  version.Major = 123;
  version.Minor = 0;
  EXPECT_EQ(VersionPanelText(version), "Wersja firmware: 123.00, Jan 15 2018 12:34:56");

  TEthStatus status;
  std::copy_n(" Brak kabla\r", 12, status.StatusTxt.bytes.begin());
  status.IP = {10, 0, 255, 7};
  status.MAC = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  EXPECT_EQ(LinkStatusPanelText(status), "Status połączenia: Brak kabla.");
  EXPECT_EQ(IpPanelText(status), "IP: 10.0.255.7");
  EXPECT_EQ(MacPanelText(status), "MAC: 00:1A:2B:3C:4D:5E");
  status.MAC = {0xFF, 0xab, 0x0c, 0xd0, 0x01, 0xef};
  EXPECT_EQ(MacPanelText(status), "MAC: FF:AB:0C:D0:01:EF");
}

}  // namespace
}  // namespace ethconf
