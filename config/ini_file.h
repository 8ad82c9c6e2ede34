#pragma once
// The profile (initialisation-file) format: sections opened by "[name]", then key=value lines.
// Section and key names match without regard to letter case, blanks around names and values
// are ignored, and a value read inside a pair of single or double quotes loses them. Changes
// touch only the key's own line; every other line is kept as it stands.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ethconf {

// A profile file held as its lines.
class TIniFile {
 public:
  TIniFile() = default;
  // Any text parses; lines that are neither sections nor key=value are kept unchanged.
  static TIniFile Parse(std::string_view content);
  // The text to store: the kept lines, with the line ending the file used.
  std::string Text() const;

  bool HasSection(std::string_view section) const;
  // Whether the section exists and holds at least one key.
  bool SectionHasKeys(std::string_view section) const;
  // The value of the key's first line in the first section of that name.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Replaces the key's line, or adds the line at the end of the section's keys, creating the
  // section at the end of the file when it is missing.
  void Write(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key's line; false when there was none.
  bool Delete(std::string_view section, std::string_view key);

 private:
  // The line range [begin, end) of a section's body; empty when the section is missing.
  struct TRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
  };
  std::optional<TRange> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const TRange& range, std::string_view key) const;

  std::vector<std::string> m_lines;
  std::string m_newline = "\n";
  bool m_byteOrderMark = false;
};

// The outcome of reading or writing a profile file.
struct TIniFileResult {
  bool Ok = true;
  std::string Cause;  // the system's description of the failure; empty on success
};

// Reads the file. A missing file is no failure: found is false and the profile stays empty.
TIniFileResult LoadIniFile(const std::filesystem::path& path, TIniFile& profile, bool& found);

// Writes the profile over the file as a whole: the text goes to a temporary file in the same
// folder, is put on disk and then renamed over the file, so the previous file stays whole when
// anything fails. A path that is a symbolic link writes its target.
TIniFileResult SaveIniFile(const std::filesystem::path& path, const TIniFile& profile);

}  // namespace ethconf
