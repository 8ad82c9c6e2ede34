#include "serial/port_discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ethconf {
namespace {

std::vector<std::string> Texts(const std::vector<TPortEntry>& entries) {
  std::vector<std::string> texts;
  for (const TPortEntry& e : entries)
    texts.push_back(e.Text);
  return texts;
}

std::vector<std::string> FixedTexts() {
  std::vector<std::string> texts;
  for (int n = 1; n <= 16; ++n)
    texts.push_back("COM " + std::to_string(n));
  return texts;
}

TPortReport Report(const std::vector<std::string>& data) {
  TPortReport report{true, {}};
  int index = 0;
  for (const std::string& text : data) {
    report.Values.push_back({"\\Device\\Serial" + std::to_string(index++), text, true});
  }
  return report;
}

// What a rebuild puts up with detection on.
std::vector<std::string> Rebuilt(const TPortReport& report) {
  return Texts(NewPortList(true, [&] { return report; }));
}

TEST(TextToInteger, ConvertsDecimalAndHexadecimalForms) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"10", 10},
      {"03", 3},
      {"  7", 7},
      {"\t7", 7},
      {"+5", 5},
      {"-3", -3},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$10", 16},
      {"x1f", 31},
      {"X1F", 31},
      {"0x10", 16},
      {"0XfF", 255},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", INT32_MAX},
      {"00000000012", 12},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextToInteger(c.text), c.expected) << c.text;
}

TEST(TextToInteger, RejectsEverythingElse) {
  for (const char* text :
       {"",           " ",  "+",    "-",   "$",          "0x",          "x",
        "3X",         "3A", "3 ",   "1.5", "2147483648", "-2147483649", "99999999999999999999",
        "$123456789", "$G", "0x-1", "- 3", "++3",        "3-",          "COM3",
        "0b1",        "٣"}) {
    EXPECT_EQ(TextToInteger(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(DetectedPortList, SortsNumericallyNotAsText) {
  EXPECT_EQ(Rebuilt(Report({"COM10", "COM3", "COM4"})),
            (std::vector<std::string>{"COM 3", "COM 4", "COM 10"}));
}

TEST(DetectedPortList, KeepsDuplicatesAndDropsLeadingZeros) {
  EXPECT_EQ(Rebuilt(Report({"COM3", "COM03", "COM1"})),
            (std::vector<std::string>{"COM 1", "COM 3", "COM 3"}));
}

TEST(DetectedPortList, ConvertsWhatFollowsTheFirstComAsAWhole) {
  EXPECT_EQ(Rebuilt(Report({"COM$A", "COM -2", "COM 5"})),
            (std::vector<std::string>{"COM -2", "COM 5", "COM 10"}));
}

TEST(DetectedPortList, FallsBackToTheFixedList) {
  EXPECT_EQ(Rebuilt(TPortReport{false, {}}), FixedTexts()) << "no report";
  EXPECT_EQ(Rebuilt(TPortReport{true, {}}), FixedTexts()) << "no values";
  EXPECT_EQ(Rebuilt(Report({"COM5", "COM3X", "COM7"})), FixedTexts()) << "not a partial list";
  EXPECT_EQ(Rebuilt(Report({"COM"})), FixedTexts()) << "no digits";
  EXPECT_EQ(Rebuilt(Report({"COM3COM"})), FixedTexts()) << "only the first COM is deleted";
  EXPECT_EQ(Rebuilt(Report({"ACOM5"})), FixedTexts()) << "the text around COM is kept";
}

TEST(DetectedPortList, ValuesWithoutComGiveAnEmptyListNotTheFixedOne) {
  EXPECT_EQ(Rebuilt(Report({"CNCA0", "CNCB0", "", "com4"})), std::vector<std::string>{});
  EXPECT_EQ(Rebuilt(Report({"CNCA0", "COM2"})), std::vector<std::string>{"COM 2"});
}

TEST(DetectedPortList, EntriesNameTheirDevice) {
  const auto list = DetectedPortList(Report({"COM9", "COM2"}));
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (std::vector<TPortEntry>{{"COM 2", "\\Device\\Serial1"},
                                            {"COM 9", "\\Device\\Serial0"}}));
}

TEST(DetectedPortList, AValueThatIsNotTextFailsWithItsName) {
  TPortReport report = Report({"COM1", "COM2"});
  report.Values[1] = {"\\Device\\VCP0", "", false};
  try {
    DetectedPortList(report);
    FAIL() << "no error";
  } catch (const TPortReportError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for '\\Device\\VCP0'");
  }
  // A scan that has fallen back stops before the value.
  report.Values[0].Data = "COM1Z";
  EXPECT_EQ(DetectedPortList(report), std::nullopt);
}

TEST(NewPortList, DetectionOffNeverReadsTheReport) {
  bool read = false;
  const auto list = NewPortList(false, [&] {
    read = true;
    return Report({"COM3"});
  });
  EXPECT_FALSE(read);
  EXPECT_EQ(Texts(list), FixedTexts());
}

// The list as the window holds it.
struct TList {
  std::vector<std::string> texts;
  int selected = -1;

  TPortListUpdate Rebuild(const std::vector<std::string>& newTexts, bool detect) {
    std::vector<TPortEntry> entries;
    for (const auto& t : newTexts)
      entries.push_back({t, {}});
    TPortListUpdate update = DecidePortListUpdate(texts, selected, entries, detect);
    if (update.Replace) {
      texts = Texts(update.Entries);
      selected = update.Selected;
    }
    return update;
  }
  std::string SelectedText() const { return selected < 0 ? "" : texts[selected]; }
};

TEST(DecidePortListUpdate, FirstRebuildSelectsCom1WhenPresentElseTheFirst) {
  TList list;
  EXPECT_TRUE(list.Rebuild({"COM 0", "COM 1", "COM 2"}, true).Replace);
  EXPECT_EQ(list.SelectedText(), "COM 1");

  TList other;
  other.Rebuild({"COM 3", "COM 4"}, true);
  EXPECT_EQ(other.SelectedText(), "COM 3");
}

TEST(DecidePortListUpdate, KeepsTheSelectedEntryOrMovesToTheFirst) {
  TList list{{"COM 1", "COM 5", "COM 7"}, 1};
  auto update = list.Rebuild({"COM 2", "COM 5"}, true);
  EXPECT_TRUE(update.Replace);
  EXPECT_TRUE(update.RunDropDown);
  EXPECT_EQ(list.SelectedText(), "COM 5");

  list.Rebuild({"COM 2", "COM 9"}, true);
  EXPECT_EQ(list.SelectedText(), "COM 2");
}

TEST(DecidePortListUpdate, AnUnchangedListChangesNothing) {
  TList list{{"COM 3", "COM 4"}, 1};
  const auto update = list.Rebuild({"COM 3", "COM 4"}, true);
  EXPECT_FALSE(update.Replace);
  EXPECT_FALSE(update.RunDropDown);
  EXPECT_EQ(list.selected, 1);

  TList none{{"COM 3"}, -1};
  EXPECT_FALSE(none.Rebuild({"COM 3"}, true).Replace);
  EXPECT_EQ(none.selected, -1) << "no selection is not made up";

  TList letterCase{{"com 3"}, 0};
  EXPECT_TRUE(letterCase.Rebuild({"COM 3"}, true).Replace) << "texts compare exactly";
}

TEST(DecidePortListUpdate, NoSelectionBeforeAChangeSelectsTheFirst) {
  TList list{{"COM 1", "COM 2"}, -1};
  list.Rebuild({"COM 1", "COM 3"}, true);
  EXPECT_EQ(list.SelectedText(), "COM 1");
}

TEST(DecidePortListUpdate, AnEmptyNewListSelectsNothingAndAsksForTheDropDown) {
  TList list{{"COM 1", "COM 2"}, 0};
  const auto update = list.Rebuild({}, true);
  EXPECT_TRUE(update.Replace);
  EXPECT_TRUE(update.RunDropDown);
  EXPECT_EQ(list.selected, -1);
}

TEST(DecidePortListUpdate, DetectionOffKeepsPortsOneToSixteenElseCom1) {
  TList kept{{"COM 3", "COM 12", "COM 40"}, 1};
  const auto update = kept.Rebuild(Texts(FixedPortList()), false);
  EXPECT_TRUE(update.Replace);
  EXPECT_FALSE(update.RunDropDown) << "the availability rule is not applied with detection off";
  EXPECT_EQ(kept.SelectedText(), "COM 12");

  TList moved{{"COM 3", "COM 40"}, 1};
  moved.Rebuild(Texts(FixedPortList()), false);
  EXPECT_EQ(moved.SelectedText(), "COM 1");
}

TEST(PortNumberOfEntry, GivesOneToSixtyFiveThousandFiveHundredThirtyFiveOrMinusOne) {
  struct Case {
    const char* text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"COM 16", 16},   {"COM 1", 1},      {"COM 65535", 65535},  {"COM 0", -1},
      {"COM -3", -1},   {"COM 70000", -1}, {"COM 65536", -1},     {"", -1},
      {"COM $10", 16},  {"COM 0x1F", 31},  {"COM  7", 7},         {"COM 7 ", -1},
      {"COM3", -1},     {"xCOM 5", 5},     {"COM $FFFFFFFF", -1}, {"COM x", -1},
      {"ab COM 5", -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PortNumberOfEntry(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace ethconf
