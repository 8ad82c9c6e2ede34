#include "config/ini_file.h"

#include <gtest/gtest.h>

namespace ethconf {
namespace {

TEST(IniFile, ReadsNamesWithoutRegardToCaseAndBlanks) {
  const TIniFile profile = TIniFile::Parse(
      "[Other]\nComPort=wrong\n"
      "  [ main ]  \n"
      "  comport =  'COM 3'  \n"
      "DetectCOM= \"0\"\n"
      "Quoted='a\"\n"
      "Inner=a 'b' c\n"
      "Single='\n"
      "Empty=\n"
      "NoValue\n"
      "Equals=a=b\n");
  EXPECT_EQ(profile.Read("MAIN", "COMPORT"), "COM 3");
  EXPECT_EQ(profile.Read("Main", "DetectCOM"), "0");
  EXPECT_EQ(profile.Read("Main", "Quoted"), "'a\"") << "quotes must pair";
  EXPECT_EQ(profile.Read("Main", "Inner"), "a 'b' c");
  EXPECT_EQ(profile.Read("Main", "Single"), "'");
  EXPECT_EQ(profile.Read("Main", "Empty"), "");
  EXPECT_EQ(profile.Read("Main", "NoValue"), std::nullopt);
  EXPECT_EQ(profile.Read("Main", "Equals"), "a=b");
  EXPECT_EQ(profile.Read("Main", "Missing"), std::nullopt);
  EXPECT_EQ(profile.Read("Other", "ComPort"), "wrong");
  EXPECT_EQ(profile.Read("None", "ComPort"), std::nullopt);
}

TEST(IniFile, TellsAnEmptySectionFromOneWithKeys) {
  const TIniFile profile = TIniFile::Parse("[Main]\n\n; note\n[Other]\nx=1\n");
  EXPECT_TRUE(profile.HasSection("main"));
  EXPECT_FALSE(profile.SectionHasKeys("Main"));
  EXPECT_TRUE(profile.SectionHasKeys("other"));
  EXPECT_FALSE(profile.SectionHasKeys("none"));
}

TEST(IniFile, WriteReplacesTheKeysLineAndKeepsEveryOtherLine) {
  TIniFile profile = TIniFile::Parse(
      "; settings\n[Main]\nWithDebug=1\n  comport = 'COM 2'\nOther=x\n\n[Next]\nComPort=y\n");
  profile.Write("MAIN", "ComPort", "'COM 3'");
  EXPECT_EQ(profile.Text(),
            "; settings\n[Main]\nWithDebug=1\nComPort='COM 3'\nOther=x\n\n[Next]\nComPort=y\n");
}

TEST(IniFile, WriteAddsTheKeyAtTheEndOfItsSection) {
  TIniFile profile = TIniFile::Parse("[Main]\nA=1\n\n[Next]\nB=2\n");
  profile.Write("Main", "DetectCOM", "0");
  EXPECT_EQ(profile.Text(), "[Main]\nA=1\nDetectCOM=0\n\n[Next]\nB=2\n");
}

TEST(IniFile, WriteCreatesTheSectionAndKeepsTheLineEnding) {
  TIniFile empty;
  empty.Write("Main", "ComPort", "''");
  EXPECT_EQ(empty.Text(), "[Main]\nComPort=''\n");

  TIniFile windows = TIniFile::Parse("\xEF\xBB\xBF[Other]\r\nX=1\r\n");
  windows.Write("Main", "ComPort", "'COM 1'");
  EXPECT_EQ(windows.Text(), "\xEF\xBB\xBF[Other]\r\nX=1\r\n[Main]\r\nComPort='COM 1'\r\n");
}

TEST(IniFile, DeleteRemovesOnlyTheKeysLine) {
  TIniFile profile =
      TIniFile::Parse("[Main]\nComPort='COM 1'\n detectcom = 0 \n[Next]\nDetectCOM=0\n");
  EXPECT_TRUE(profile.Delete("main", "DETECTCOM"));
  EXPECT_EQ(profile.Text(), "[Main]\nComPort='COM 1'\n[Next]\nDetectCOM=0\n");
  EXPECT_FALSE(profile.Delete("Main", "DetectCOM"));
  EXPECT_FALSE(profile.Delete("None", "DetectCOM"));
}

TEST(IniFile, AFileWithoutFinalNewlineOrWithStrayLinesRoundTrips) {
  const std::string text = "garbage line\n[Main]\nComPort='COM 4'";
  EXPECT_EQ(TIniFile::Parse(text).Text(), text + "\n");
  EXPECT_EQ(TIniFile::Parse(text).Read("Main", "ComPort"), "COM 4");
}

}  // namespace
}  // namespace ethconf
