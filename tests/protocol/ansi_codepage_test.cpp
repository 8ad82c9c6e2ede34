#include "protocol/ansi_codepage.h"

#include <gtest/gtest.h>

namespace ethconf {
namespace {

TEST(AnsiCodepage, PolishLettersUseWindows1250) {
  const std::string polish = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  const ByteString expected = {0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3, 0x9C, 0x9F, 0xBF,
                               0xA5, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0x8C, 0x8F, 0xAF};
  EXPECT_EQ(Utf8ToAnsi(polish), expected);
  EXPECT_EQ(AnsiToUtf8(expected), polish);
}

TEST(AnsiCodepage, EveryByteSurvivesATripThroughText) {
  ByteString all(256);
  for (int i = 0; i < 256; ++i) {
    all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  }
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(AnsiCodepage, UnmappableAndMalformedBecomeTheReplacement) {
  EXPECT_EQ(Utf8ToAnsi("a€b"), (ByteString{'a', 0x80, 'b'}));
  EXPECT_EQ(Utf8ToAnsi("日本"), (ByteString{'?', '?'}));
  EXPECT_EQ(Utf8ToAnsi("x\xC3"), (ByteString{'x', '?'}));              // cut sequence
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), (ByteString{'?', '?', '?'}));  // a surrogate
}

TEST(AnsiCodepage, LimitCountsUtf16Units) {
  EXPECT_EQ(Utf8ToAnsi("abcdef", 4), (ByteString{'a', 'b', 'c', 'd'}));
  // An emoji takes two units: with room for three units, "a😀" fits and "b" does not.
  EXPECT_EQ(Utf8ToAnsi("a😀b", 3), (ByteString{'a', '?'}));
  EXPECT_EQ(Utf8ToAnsi("a😀b", 2), (ByteString{'a'}));
}

}  // namespace
}  // namespace ethconf
