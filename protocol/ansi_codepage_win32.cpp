// The system's ANSI code page, through the Windows conversion functions.

#include <windows.h>

#include "protocol/ansi_codepage.h"

namespace ethconf {
namespace {

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::string AnsiToUtf8(ByteView bytes) {
  if (bytes.empty()) {
    return {};
  }
  const auto* src = reinterpret_cast<const char*>(bytes.data());
  const int count = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, src, count, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, src, count, wide.data(), n);
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}

ByteString Utf8ToAnsi(std::string_view text, std::size_t maxUtf16Units) {
  std::wstring wide = Utf8ToWide(text);
  if (wide.size() > maxUtf16Units) {
    wide.resize(maxUtf16Units);
  }
  if (wide.empty()) {
    return {};
  }
  const int w = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), w, nullptr, 0, nullptr, nullptr);
  if (n <= 0) {
    return {};  // a failed conversion gives an empty text
  }
  ByteString out(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), w, reinterpret_cast<char*>(out.data()), n, nullptr,
                      nullptr);
  return out;
}

}  // namespace ethconf
