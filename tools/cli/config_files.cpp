#include "tools/cli/config_files.h"

#include <algorithm>
#include <cctype>

#include "config/eth_file.h"
#include "config/file_io.h"
#include "tools/cli/config_json.h"

namespace ethconf::cli {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& why) {
  throw TConfigFileError(path.string() + ": " + why);
}

// The largest JSON configuration this tool accepts; a real one is about 1.5 KB.
constexpr std::size_t kMaxJsonBytes = 1 << 20;

void Save(const std::filesystem::path& path, ByteView bytes) {
  std::string cause;
  std::unique_ptr<IReplacementFile> file = CreateReplacementFile(path, cause);
  if (!file) {
    Fail(path, "cannot create the file: " + cause);
  }
  if (!file->Write(bytes, cause) || !file->Commit(cause)) {
    Fail(path, "cannot write the file: " + cause);
  }
}

}  // namespace

std::optional<TConfigFileKind> ConfigFileKind(const std::filesystem::path& path) {
  const std::string extension = Lower(path.extension().string());
  if (extension == ".eth") {
    return TConfigFileKind::Eth;
  }
  if (extension == ".json") {
    return TConfigFileKind::Json;
  }
  return std::nullopt;
}

namespace {

TConfigFileKind KindByName(const std::filesystem::path& path) {
  const auto kind = ConfigFileKind(path);
  if (!kind) {
    Fail(path, "unknown kind of file; the name must end in .eth or .json");
  }
  return *kind;
}

}  // namespace

TDeviceRecords LoadConfigFile(const std::filesystem::path& path) {
  return LoadConfigFile(path, KindByName(path));
}

TDeviceRecords LoadConfigFile(const std::filesystem::path& path, TConfigFileKind kind) {
  const std::size_t limit = kind == TConfigFileKind::Eth ? kEthFileSize + 1 : kMaxJsonBytes + 1;
  ByteString bytes;
  const TFileResult result = ReadFileHead(path, limit, bytes);
  if (!result.ok()) {
    Fail(path, "cannot read the file: " + result.cause);
  }
  TDeviceRecords records;
  if (kind == TConfigFileKind::Eth) {
    if (bytes.size() != kEthFileSize) {
      Fail(path, "holds " + std::string(bytes.size() > kEthFileSize ? "more than " : "") +
                     std::to_string(std::min(bytes.size(), kEthFileSize)) +
                     " bytes; a configuration file holds exactly " + std::to_string(kEthFileSize));
    }
    ApplyEthFileBytes(bytes, records);
    return records;
  }
  if (bytes.size() > kMaxJsonBytes) {
    Fail(path, "is larger than any configuration (over 1 MiB)");
  }
  try {
    ConfigFromJsonText(std::string(bytes.begin(), bytes.end()), records);
  } catch (const TConfigFormError& e) {
    Fail(path, e.what());
  }
  return records;
}

void SaveConfigFile(const std::filesystem::path& path, const TDeviceRecords& records) {
  SaveConfigFile(path, records, KindByName(path));
}

void SaveConfigFile(const std::filesystem::path& path, const TDeviceRecords& records,
                    TConfigFileKind kind) {
  if (kind == TConfigFileKind::Eth) {
    const TFileResult result = SaveEthFile(path, records);
    if (!result.ok()) {
      Fail(path,
           std::string(result.outcome == TFileOutcome::openFailed ? "cannot create the file: "
                                                                  : "cannot write the file: ") +
               result.cause);
    }
    return;
  }
  const std::string text = ConfigToJsonText(records);
  Save(path, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace ethconf::cli
