#pragma once
// The tool's command line: which command, on which ports, with which files.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/cli/port_argument.h"

namespace ethconf::cli {

// Arguments the tool cannot act on; the message says what is wrong.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TCommandKind { Help, Ports, Read, Write, Reset, Show, Convert, Diff };

struct TCommandLine {
  TCommandKind kind = TCommandKind::Help;
  std::vector<TPortTarget> ports;  // read, write, reset
  bool trace = false;
  // read: where to save what was read.
  std::string out;   // ".eth" form
  std::string json;  // JSON form
  // write: the configuration to write (one of the two), the password, and the checks.
  std::string in;
  std::string jsonIn;
  std::optional<std::string> password;
  bool verify = false;
  std::string backup;  // ".eth" or ".json" by its extension
  // reset
  bool yes = false;
  // show, convert, diff
  std::vector<std::string> files;
};

// With several ports, "{port}" in a file name stands for each port's FileLabel().
inline constexpr const char* kPortPlaceholder = "{port}";

// Parses the arguments after the program name. Options take their value as the next argument or
// after "=". Throws TUsageError.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The file name for one port: the placeholder replaced by the port's label.
std::string FileNameForPort(const std::string& pattern, const TPortTarget& port);

// The text of --help.
std::string UsageText();

}  // namespace ethconf::cli
