#pragma once
// The few file operations the configuration file needs, one implementation per platform.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "protocol/byte_string.h"

namespace ethconf {

enum class TFileOutcome {
  ok,
  openFailed,   // the file could not be opened (load) or created (save)
  readFailed,   // opened, but reading it failed
  writeFailed,  // created, but its bytes could not all be written and put on disk
};

struct TFileResult {
  TFileOutcome outcome = TFileOutcome::ok;
  std::string cause;  // the system's description of the failure (UTF-8); empty on success
  bool ok() const { return outcome == TFileOutcome::ok; }
};

// Opens the file for reading only and reads until maxBytes are in or the file ends. On a read
// failure bytes holds what was read before it.
TFileResult ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes,
                         ByteString& bytes);

// A file that replaces its target as a whole or not at all. The bytes go to a new temporary file
// in the target's folder; only Commit puts them on disk and moves them over the target.
// Destroying it without a successful Commit removes the temporary file and leaves the target as
// it was.
class IReplacementFile {
 public:
  virtual ~IReplacementFile() = default;
  // Appends all of the bytes, or returns false with the cause.
  virtual bool Write(ByteView bytes, std::string& cause) = 0;
  // Flushes the bytes to disk and renames the temporary file over the target.
  virtual bool Commit(std::string& cause) = 0;
};

// Creates the temporary file for the target. Returns null with the cause when the target is a
// folder, is not writable, or the temporary file cannot be created (missing folder, no access).
std::unique_ptr<IReplacementFile> CreateReplacementFile(const std::filesystem::path& target,
                                                        std::string& cause);

}  // namespace ethconf
