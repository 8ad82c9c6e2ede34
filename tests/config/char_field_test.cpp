#include "config/char_field.h"

#include <gtest/gtest.h>

#include <vector>

namespace ethconf {
namespace {

template <std::size_t N>
TCharField<N> FieldOf(std::string_view bytes) {
  TCharField<N> field;
  std::copy(bytes.begin(), bytes.end(), field.bytes.begin());
  return field;
}

TEST(TextToCharField, ShortTextIsFollowedByZerosUpToTheWidth) {
  TCharField<65> field;
  field.bytes.fill(0xEE);
  TextToCharField("abc", field);
  EXPECT_EQ(field, FieldOf<65>("abc"));

  TextToCharField("", field);
  EXPECT_EQ(field, TCharField<65>{});
}

TEST(TextToCharField, TextOfTheWidthOrMoreFillsTheFieldWithoutTerminator) {
  const std::string typed(64, 'x');
  const auto field64 = TextToCharField<65>(typed);
  EXPECT_EQ(field64, FieldOf<65>(typed));
  EXPECT_EQ(field64.bytes[64], 0);

  const std::string full(65, 'y');
  EXPECT_EQ(TextToCharField<65>(full), FieldOf<65>(full));
  EXPECT_EQ(TextToCharField<21>(std::string(30, 'z')), FieldOf<21>(std::string(21, 'z')));
}

TEST(TextToCharField, ConvertsToWindows1250WithReplacement) {
  // ż ó ł ć, then a CJK character and a character beyond the basic plane, neither of which the
  // code page holds.
  const auto field = TextToCharField<41>("żółć漢😀!");
  EXPECT_EQ(field, FieldOf<41>("\xBF\xF3\xB3\xE6?" "?!"));
}

TEST(TextToCharField, TakesAtMost255Characters) {
  std::vector<std::uint8_t> wide(300, 0xEE);
  TextToCharField(std::string(300, 'a'), wide);
  EXPECT_EQ(std::count(wide.begin(), wide.begin() + 255, 'a'), 255);
  EXPECT_EQ(std::count(wide.begin() + 255, wide.end(), 0), 45);
}

TEST(CharFieldToText, TextEndsAtTheFirstZero) {
  EXPECT_EQ(CharFieldToText(FieldOf<65>(std::string_view("abc\0xyz", 7))), "abc");
  EXPECT_EQ(CharFieldToText(TCharField<16>{}), "");
  EXPECT_EQ(CharFieldToText(FieldOf<16>(std::string(16, 'T'))), std::string(16, 'T'));
  EXPECT_EQ(CharFieldToText(FieldOf<21>("\xBF\xF3\xB3\xE6")), "żółć");
}

TEST(CharFieldToText, EveryNonZeroByteSurvivesTheTripThroughText) {
  std::vector<std::uint8_t> all(255);
  for (std::size_t i = 0; i < all.size(); ++i) {
    all[i] = static_cast<std::uint8_t>(i + 1);
  }
  std::vector<std::uint8_t> back(255, 0);
  TextToCharField(CharFieldToText(all), back);
  EXPECT_EQ(back, all);
}

}  // namespace
}  // namespace ethconf
