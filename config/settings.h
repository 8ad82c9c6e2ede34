#pragma once
// The settings file beside the executable: its name, and what the window does with its section
// "Main" when it is created and when it is closed.

#include <optional>
#include <string>
#include <string_view>

#include "config/ini_file.h"

namespace ethconf {

inline constexpr const char* kSettingsSection = "Main";
inline constexpr const char* kComPortKey = "ComPort";
inline constexpr const char* kDetectComKey = "DetectCOM";
inline constexpr const char* kWithDebugKey = "WithDebug";

// A value that reads as a boolean: a number, integer or decimal with "." or "," (true when not
// zero), or "True" or "False" in any letter case. Anything else, the empty value included, is
// not a boolean.
std::optional<bool> ReadBoolean(std::string_view value);

// The settings file's name for an executable: its first ".exe", in any letter case, replaced by
// ".ini" (Tool.Exe gives Tool.ini, a.exe.exe gives a.ini.exe); a name without ".exe" gets ".ini"
// appended, so the executable itself is never the settings file.
std::string SettingsFileName(std::string_view appName);

// What the window's creation does with the settings. The port list is rebuilt exactly once:
// by unticking the detection check box (whose click rebuilds it) or directly.
struct TStartupSettings {
  bool UntickDetection = false;
  std::optional<std::string> SelectEntry;  // the entry text to select when the list holds it
  std::optional<bool> WithDebug;           // set when the file holds a boolean
};

// From the profile read at start-up; an empty profile stands for a missing or unreadable file.
TStartupSettings StartupSettings(const TIniFile& profile);

// Puts the window's state at close into the profile: ComPort as the selected entry's text in
// single quotes (two quotes alone when nothing is selected), DetectCOM written as "0" with
// detection off, deleted with detection on. Everything else is kept.
void StoreClosingSettings(TIniFile& profile, std::string_view selectedEntry, bool detect);

// Reads the settings file, changes the section "Main" for the close and writes it back whole.
// A file that exists but cannot be read is not overwritten, so none of its lines is lost.
TIniFileResult SaveClosingSettings(const std::filesystem::path& path,
                                   std::string_view selectedEntry, bool detect);

}  // namespace ethconf
