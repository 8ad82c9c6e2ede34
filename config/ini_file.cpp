#include "config/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <utility>

#include "config/file_io.h"

namespace ethconf {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The name of a section line "[name]", or nothing for another line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = Trimmed(line);
  if (text.empty() || text.front() != '[')
    return std::nullopt;
  const std::string_view inner = text.substr(1);
  return Trimmed(inner.substr(0, inner.find(']')));
}

// The key of a line "key=value", or nothing for another line.
std::optional<std::string_view> KeyName(std::string_view line) {
  if (SectionName(line))
    return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  const std::string_view key = Trimmed(line.substr(0, equals));
  if (key.empty())
    return std::nullopt;
  return key;
}

std::string ValueOf(std::string_view line) {
  std::string_view value = Trimmed(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  return line;
}

}  // namespace

TIniFile TIniFile::Parse(std::string_view content) {
  TIniFile profile;
  if (content.starts_with(kByteOrderMark)) {
    profile.m_byteOrderMark = true;
    content.remove_prefix(kByteOrderMark.size());
  }
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
      profile.m_newline = "\r\n";
    }
    profile.m_lines.emplace_back(line);
  }
  return profile;
}

std::string TIniFile::Text() const {
  std::string text = m_byteOrderMark ? std::string(kByteOrderMark) : std::string();
  for (const std::string& line : m_lines) {
    text += line;
    text += m_newline;
  }
  return text;
}

std::optional<TIniFile::TRange> TIniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const auto name = SectionName(m_lines[i]);
    if (!name || !SameName(*name, Trimmed(section)))
      continue;
    std::size_t end = i + 1;
    while (end < m_lines.size() && !SectionName(m_lines[end]))
      ++end;
    return TRange{i + 1, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(const TRange& range, std::string_view key) const {
  for (std::size_t i = range.Begin; i < range.End; ++i) {
    const auto name = KeyName(m_lines[i]);
    if (name && SameName(*name, Trimmed(key)))
      return i;
  }
  return std::nullopt;
}

bool TIniFile::HasSection(std::string_view section) const {
  return FindSection(section).has_value();
}

bool TIniFile::SectionHasKeys(std::string_view section) const {
  const auto range = FindSection(section);
  if (!range)
    return false;
  for (std::size_t i = range->Begin; i < range->End; ++i) {
    if (KeyName(m_lines[i]))
      return true;
  }
  return false;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range)
    return std::nullopt;
  const auto line = FindKey(*range, key);
  if (!line)
    return std::nullopt;
  return ValueOf(m_lines[*line]);
}

void TIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = KeyLine(Trimmed(key), value);
  const auto range = FindSection(section);
  if (!range) {
    std::string header = "[";
    header += Trimmed(section);
    header += ']';
    m_lines.push_back(std::move(header));
    m_lines.push_back(line);
    return;
  }
  if (const auto existing = FindKey(*range, key)) {
    m_lines[*existing] = line;
    return;
  }
  // After the section's last line that is not blank, so blank lines before the next section
  // stay where they are.
  std::size_t at = range->End;
  while (at > range->Begin && Trimmed(m_lines[at - 1]).empty())
    --at;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
}

bool TIniFile::Delete(std::string_view section, std::string_view key) {
  const auto range = FindSection(section);
  if (!range)
    return false;
  const auto line = FindKey(*range, key);
  if (!line)
    return false;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
  return true;
}

TIniFileResult LoadIniFile(const std::filesystem::path& path, TIniFile& profile, bool& found) {
  profile = TIniFile();
  found = false;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    if (error)
      return {false, error.message()};
    return {};
  }
  found = true;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return {false, std::make_error_code(std::errc::permission_denied).message()};
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad())
    return {false, std::make_error_code(std::errc::io_error).message()};
  profile = TIniFile::Parse(content.str());
  return {};
}

TIniFileResult SaveIniFile(const std::filesystem::path& path, const TIniFile& profile) {
  std::string cause;
  const std::unique_ptr<IReplacementFile> file = CreateReplacementFile(path, cause);
  if (!file)
    return {false, cause};
  const std::string text = profile.Text();
  const ByteView bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (!file->Write(bytes, cause) || !file->Commit(cause))
    return {false, cause};
  return {};
}

}  // namespace ethconf
