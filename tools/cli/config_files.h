#pragma once
// Configuration files of either kind, told apart by their extension: ".eth" (the window's
// 332-byte file) or ".json" (the text form).

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "protocol/device_records.h"

namespace ethconf::cli {

enum class TConfigFileKind { Eth, Json };

// ".eth" or ".json", letter case ignored; nothing for any other name.
std::optional<TConfigFileKind> ConfigFileKind(const std::filesystem::path& path);

// A file that cannot be read, is not a valid configuration, or cannot be written. The message
// names the file and, for content, the field.
class TConfigFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the four file records; the other records are zero. An ".eth" file must hold exactly 332
// bytes: a shorter or longer one is refused rather than guessed at. A JSON file must pass every
// check of the text form.
TDeviceRecords LoadConfigFile(const std::filesystem::path& path, TConfigFileKind kind);
// The kind by the name's extension; a name with another extension is refused.
TDeviceRecords LoadConfigFile(const std::filesystem::path& path);

// Writes the four file records in the given kind. The file is replaced whole or not at all.
void SaveConfigFile(const std::filesystem::path& path, const TDeviceRecords& records,
                    TConfigFileKind kind);
void SaveConfigFile(const std::filesystem::path& path, const TDeviceRecords& records);

}  // namespace ethconf::cli
