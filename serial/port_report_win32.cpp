#include <windows.h>

#include <string>
#include <vector>

#include "serial/port_report.h"

namespace ethconf {

namespace {

constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string ToUtf8(const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

// Closes the key on every path out of the read.
class TKey {
 public:
  explicit TKey(HKEY key) : m_key(key) {}
  ~TKey() { RegCloseKey(m_key); }
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key;
};

bool KeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0,
                    STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                    &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::vector<std::wstring> ValueNames(HKEY key) {
  DWORD count = 0;
  DWORD longestName = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<std::wstring> names;
  std::vector<wchar_t> buffer(longestName + 1);
  for (DWORD index = 0; index < count; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS) {
      names.emplace_back(buffer.data(), length);
    }
  }
  return names;
}

// The value's data as text; IsText false when it holds data that is neither empty nor text.
TPortReportValue ReadValue(HKEY key, const std::wstring& name) {
  TPortReportValue value;
  value.Name = ToUtf8(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size == 0) {
    return value;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    value.IsText = false;
    return value;
  }
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) == ERROR_SUCCESS) {
    value.Data = ToUtf8(std::wstring(data.data()));
  }
  return value;
}

}  // namespace

TPortReport ReadSystemPortReport() {
  TPortReport report;
  report.Found = KeyExists();
  if (!report.Found)
    return report;

  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return report;
  }
  const TKey key(opened);
  for (const std::wstring& name : ValueNames(key.Get())) {
    report.Values.push_back(ReadValue(key.Get(), name));
  }
  return report;
}

TPortReport ReadPortReport(const TPortReportRoots&) {
  return ReadSystemPortReport();
}

}  // namespace ethconf
