// File access through the Windows file functions, with wide (UTF-16) path names.

#include <windows.h>

#include <random>

#include "config/file_io.h"

namespace ethconf {
namespace {

std::string ErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring wide;
  if (buffer != nullptr) {
    wide.assign(buffer, length);
    LocalFree(buffer);
  }
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) {
    wide.pop_back();
  }
  if (wide.empty()) {
    return "Windows error " + std::to_string(error);
  }
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                      nullptr, nullptr);
  return text;
}

// Closes the handle on every path out of a scope.
class THandle {
 public:
  explicit THandle(HANDLE handle) : m_handle(handle) {}
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  ~THandle() { Close(); }
  HANDLE Get() const { return m_handle; }
  bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  bool Close() {
    bool closed = true;
    if (Valid()) {
      closed = CloseHandle(m_handle) != 0;
    }
    m_handle = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_handle;
};

class TWin32ReplacementFile final : public IReplacementFile {
 public:
  TWin32ReplacementFile(HANDLE handle, std::filesystem::path temp, std::filesystem::path target)
      : m_file(handle), m_temp(std::move(temp)), m_target(std::move(target)) {}

  ~TWin32ReplacementFile() override {
    m_file.Close();
    if (!m_committed) {
      DeleteFileW(m_temp.c_str());
    }
  }

  bool Write(ByteView bytes, std::string& cause) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD written = 0;
      if (!WriteFile(m_file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                     &written, nullptr)) {
        cause = ErrorText(GetLastError());
        return false;
      }
      if (written == 0) {
        cause = ErrorText(ERROR_WRITE_FAULT);
        return false;
      }
      done += written;
    }
    return true;
  }

  bool Commit(std::string& cause) override {
    if (!FlushFileBuffers(m_file.Get()) || !m_file.Close()) {
      cause = ErrorText(GetLastError());
      return false;
    }
    if (!MoveFileExW(m_temp.c_str(), m_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      cause = ErrorText(GetLastError());
      return false;
    }
    m_committed = true;
    return true;
  }

 private:
  THandle m_file;
  std::filesystem::path m_temp;
  std::filesystem::path m_target;
  bool m_committed = false;
};

std::wstring RandomSuffix() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring suffix;
  auto value = generator();
  for (int i = 0; i < 12; ++i, value >>= 4) {
    suffix += kDigits[value & 0xF];
  }
  return suffix;
}

}  // namespace

TFileResult ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes,
                         ByteString& bytes) {
  bytes.clear();
  THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    return {TFileOutcome::openFailed, ErrorText(GetLastError())};
  }
  bytes.resize(maxBytes);
  std::size_t done = 0;
  while (done < maxBytes) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(maxBytes - done), &read,
                  nullptr)) {
      const DWORD error = GetLastError();
      bytes.resize(done);
      return {TFileOutcome::readFailed, ErrorText(error)};
    }
    if (read == 0) {
      break;
    }
    done += read;
  }
  bytes.resize(done);
  return {};
}

std::unique_ptr<IReplacementFile> CreateReplacementFile(const std::filesystem::path& target,
                                                        std::string& cause) {
  if (!target.has_filename()) {
    cause = ErrorText(ERROR_INVALID_NAME);
    return nullptr;
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    // Writing in place would be refused on these, so replacing must be refused too.
    cause = ErrorText(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temp = folder;
    temp /= target.filename().wstring() + L"." + RandomSuffix() + L".tmp";
    HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS) {
        continue;
      }
      cause = ErrorText(error);
      return nullptr;
    }
    return std::make_unique<TWin32ReplacementFile>(handle, std::move(temp), target);
  }
  cause = ErrorText(ERROR_FILE_EXISTS);
  return nullptr;
}

}  // namespace ethconf
