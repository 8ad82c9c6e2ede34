#include "config/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace ethconf {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFileName, ReplacesTheFirstExeInAnyCaseOrAppendsIni) {
  EXPECT_EQ(SettingsFileName("Konf.EXE"), "Konf.ini");
  EXPECT_EQ(SettingsFileName("Tool.Exe"), "Tool.ini");
  EXPECT_EQ(SettingsFileName("a.exe.exe"), "a.ini.exe");
  EXPECT_EQ(SettingsFileName("my.executor"), "my.inicutor");
  EXPECT_EQ(SettingsFileName("ethconf"), "ethconf.ini");
  EXPECT_EQ(SettingsFileName("ethconf.bin"), "ethconf.bin.ini");
}

TEST(ReadBoolean, NumbersAndTheTwoWordsOnly) {
  struct Case {
    const char* value;
    std::optional<bool> expected;
  };
  const Case cases[] = {
      {"0", false},   {"1", true},    {"-1", true},     {"00", false},    {"0.0", false},
      {"0,0", false}, {"0.5", true},  {"2,5", true},    {"+0", false},    {"1e3", true},
      {"0E5", false}, {".5", true},   {"False", false}, {"FALSE", false}, {"false", false},
      {"True", true}, {"tRUE", true}, {"", {}},         {"yes", {}},      {"no", {}},
      {"1x", {}},     {"e5", {}},     {".", {}},        {"1e", {}},       {"T", {}},
      {"Truex", {}},  {"0x1", {}},    {"1 0", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadBoolean(c.value), c.expected) << '"' << c.value << '"';
}

TEST(StartupSettings, MissingFileOrEmptySectionKeepsTheDefaults) {
  for (const char* text : {"", "[Main]\n", "[Other]\nDetectCOM=0\nComPort='COM 4'\n"}) {
    const TStartupSettings settings = StartupSettings(TIniFile::Parse(text));
    EXPECT_FALSE(settings.UntickDetection) << text;
    EXPECT_EQ(settings.SelectEntry, std::nullopt) << text;
    EXPECT_EQ(settings.WithDebug, std::nullopt) << text;
  }
}

TEST(StartupSettings, OnlyAFalseDetectComTurnsDetectionOff) {
  for (const char* value : {"0", "false", "FALSE", "False", " 0 ", "'0'", "0.0"}) {
    const auto profile = TIniFile::Parse(std::string("[Main]\nDetectCOM=") + value + "\n");
    EXPECT_TRUE(StartupSettings(profile).UntickDetection) << value;
  }
  for (const char* value : {"1", "True", "yes", "", "off"}) {
    const auto profile = TIniFile::Parse(std::string("[Main]\nDetectCOM=") + value + "\n");
    EXPECT_FALSE(StartupSettings(profile).UntickDetection) << value;
  }
}

TEST(StartupSettings, ComPortNotBeginningWithComBlankCountsAsCom1) {
  struct Case {
    const char* line;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"ComPort='COM 3'", "COM 3"}, {"ComPort=\"COM 12\"", "COM 12"}, {"comport = COM 7 ", "COM 7"},
      {"ComPort=COM3", "COM 1"},    {"ComPort=com 3", "COM 1"},       {"ComPort=", "COM 1"},
      {"ComPort=''", "COM 1"},      {"WithDebug=1", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto profile = TIniFile::Parse(std::string("[Main]\n") + c.line + "\n");
    EXPECT_EQ(StartupSettings(profile).SelectEntry, c.expected) << c.line;
  }
}

TEST(StartupSettings, WithDebugOnlyWhenItReadsAsABoolean) {
  EXPECT_EQ(StartupSettings(TIniFile::Parse("[Main]\nWithDebug=True\n")).WithDebug, true);
  EXPECT_EQ(StartupSettings(TIniFile::Parse("[Main]\nWithDebug=0\n")).WithDebug, false);
  EXPECT_EQ(StartupSettings(TIniFile::Parse("[Main]\nWithDebug=on\n")).WithDebug, std::nullopt);
}

// A fresh folder holding the settings file of one test.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_folder = fs::temp_directory_path() / ("ethconf-settings-" + std::to_string(random()));
    fs::create_directories(m_folder);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }
  fs::path File() const { return m_folder / SettingsFileName("ethconf"); }
  const fs::path& Folder() const { return m_folder; }
  static std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The settings as the next start reads them.
  TStartupSettings NextStart() const {
    TIniFile profile;
    bool found = false;
    EXPECT_TRUE(LoadIniFile(File(), profile, found).Ok);
    return StartupSettings(profile);
  }

 private:
  fs::path m_folder;
};

TEST_F(SettingsFileTest, FirstCloseCreatesTheFileWithOnlyComPort) {
  TIniFile profile;
  bool found = true;
  ASSERT_TRUE(LoadIniFile(File(), profile, found).Ok);
  EXPECT_FALSE(found);

  ASSERT_TRUE(SaveClosingSettings(File(), "COM 3", true).Ok);
  EXPECT_EQ(Contents(File()), "[Main]\nComPort='COM 3'\n");
  EXPECT_EQ(NextStart().SelectEntry, "COM 3") << "the quotes come off again";
  EXPECT_EQ(fs::path(File()).filename(), "ethconf.ini");
}

TEST_F(SettingsFileTest, NothingSelectedWritesTwoQuotesAndReadsBackAsCom1) {
  ASSERT_TRUE(SaveClosingSettings(File(), "", true).Ok);
  EXPECT_EQ(Contents(File()), "[Main]\nComPort=''\n");
  EXPECT_EQ(NextStart().SelectEntry, "COM 1");
}

TEST_F(SettingsFileTest, DetectComIsWrittenAsZeroOrRemovedAndTheRestKept) {
  std::ofstream(File()) << "; mine\n[Main]\nWithDebug=True\nDetectCOM=1\n\n[Tools]\nx=1\n";

  ASSERT_TRUE(SaveClosingSettings(File(), "COM 12", false).Ok);
  EXPECT_EQ(Contents(File()),
            "; mine\n[Main]\nWithDebug=True\nDetectCOM=0\nComPort='COM 12'\n\n[Tools]\nx=1\n");
  EXPECT_TRUE(NextStart().UntickDetection);
  EXPECT_EQ(NextStart().WithDebug, true);

  ASSERT_TRUE(SaveClosingSettings(File(), "COM 12", true).Ok);
  EXPECT_EQ(Contents(File()), "; mine\n[Main]\nWithDebug=True\nComPort='COM 12'\n\n[Tools]\nx=1\n");
  EXPECT_FALSE(NextStart().UntickDetection);
}

TEST_F(SettingsFileTest, ASettingsPathThatIsAFolderFailsAndIsReported) {
  fs::create_directory(File());
  const TIniFileResult result = SaveClosingSettings(File(), "COM 1", true);
  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Cause.empty());
  EXPECT_TRUE(fs::is_directory(File()));
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST_F(SettingsFileTest, AMissingFolderFailsAndIsReported) {
  const TIniFileResult result =
      SaveClosingSettings(Folder() / "gone" / "ethconf.ini", "COM 1", true);
  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Cause.empty());
}

}  // namespace
}  // namespace ethconf
