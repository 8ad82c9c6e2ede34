#pragma once
// The ".eth" configuration file: four record images, 332 bytes, no header. Holds the network,
// data-server, NTP and period records; never the password or the token.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "config/file_io.h"
#include "protocol/byte_string.h"
#include "protocol/device_records.h"

namespace ethconf {

inline constexpr std::size_t kEthFileSize =
    TEthConfig::kSize + TEthREST::kSize + TEthNTP::kSize + TEthPeriod::kSize;
static_assert(kEthFileSize == 332);
inline constexpr const char* kEthFileExtension = "eth";

using TEthFileImage = std::array<std::uint8_t, kEthFileSize>;

// FEthConfig, FEthREST, FEthNTP and FEthPeriod, in this order.
TEthFileImage EthFileImage(const TDeviceRecords& records);

// Lays the bytes over the four records in file order. Each record receives what the bytes still
// hold, up to its size: its first bytes are replaced and the rest keep their contents, and the
// records after the end receive nothing. Bytes after the 332nd are ignored.
void ApplyEthFileBytes(ByteView bytes, TDeviceRecords& records);

// The save command's name rule: appends ".eth" when the last component (after the last "\" or
// "/") has no "." at all; a "." at its very end counts as an extension.
std::string WithDefaultExtension(std::string_view path);

// Reads the first 332 bytes of the file, opened for reading only, into the records. A short file
// is no failure. On a read failure the records hold what was read before it.
TFileResult LoadEthFile(const std::filesystem::path& path, TDeviceRecords& records);

using TReplacementFileFactory = std::function<std::unique_ptr<IReplacementFile>(
    const std::filesystem::path& target, std::string& cause)>;

// Writes the four records to the file. The previous file stays whole until all 332 bytes are on
// disk, and a failed save leaves it (or no file) in place. openFailed: the file could not be
// created; writeFailed: its bytes could not be written. The factory is where tests put a
// failing disk.
TFileResult SaveEthFile(const std::filesystem::path& path, const TDeviceRecords& records,
                        const TReplacementFileFactory& createFile = CreateReplacementFile);

}  // namespace ethconf
