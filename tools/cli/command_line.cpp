#include "tools/cli/command_line.h"

#include <map>

#include "tools/cli/config_files.h"

namespace ethconf::cli {
namespace {

const std::map<std::string, TCommandKind> kCommands = {
    {"help", TCommandKind::Help},       {"ports", TCommandKind::Ports},
    {"read", TCommandKind::Read},       {"write", TCommandKind::Write},
    {"reset", TCommandKind::Reset},     {"show", TCommandKind::Show},
    {"convert", TCommandKind::Convert}, {"diff", TCommandKind::Diff},
};

// Walks the arguments, handing out option values.
class TArgs {
 public:
  explicit TArgs(const std::vector<std::string>& args) : m_args(args) {}
  bool Done() const { return m_next >= m_args.size(); }
  std::string Next() { return m_args[m_next++]; }
  std::string Value(const std::string& option, std::optional<std::string>& inlineValue) {
    if (inlineValue) {
      std::string value = *inlineValue;
      inlineValue.reset();
      return value;
    }
    if (Done()) {
      throw TUsageError(option + " needs a value");
    }
    return Next();
  }

 private:
  const std::vector<std::string>& m_args;
  std::size_t m_next = 0;
};

void SetOnce(std::string& slot, const std::string& option, std::string value) {
  if (!slot.empty()) {
    throw TUsageError(option + " given twice");
  }
  if (value.empty()) {
    throw TUsageError(option + " needs a non-empty value");
  }
  slot = std::move(value);
}

void Require(bool condition, const std::string& message) {
  if (!condition) {
    throw TUsageError(message);
  }
}

const char* CommandName(TCommandKind kind) {
  for (const auto& [name, k] : kCommands) {
    if (k == kind) {
      return name.c_str();
    }
  }
  return "";
}

void CheckPerPortName(const TCommandLine& line, const std::string& option,
                      const std::string& name) {
  if (!name.empty() && line.ports.size() > 1 && name.find(kPortPlaceholder) == std::string::npos) {
    throw TUsageError(option + " with several ports needs " + kPortPlaceholder +
                      " in the file name, so each port gets its own file");
  }
}

void Validate(TCommandLine& line) {
  const std::string command = CommandName(line.kind);
  const bool device = line.kind == TCommandKind::Read || line.kind == TCommandKind::Write ||
                      line.kind == TCommandKind::Reset;
  Require(device || line.ports.empty(), "--port does not apply to " + command);
  Require(!device || !line.ports.empty(), command + " needs --port");
  Require(device || !line.trace, "--trace applies to read, write and reset only");
  Require(line.kind == TCommandKind::Read || (line.out.empty() && line.json.empty()),
          "--out applies to read only; --json is the input of write and the output of read");
  const bool write = line.kind == TCommandKind::Write;
  Require(write || (line.in.empty() && !line.password && !line.verify && line.backup.empty()),
          "--in, --password, --verify and --backup apply to write only");
  Require(line.kind == TCommandKind::Reset || !line.yes, "--yes applies to reset only");

  switch (line.kind) {
    case TCommandKind::Help:
    case TCommandKind::Ports:
      Require(line.files.empty(), command + " takes no file");
      break;
    case TCommandKind::Read:
      CheckPerPortName(line, "--out", line.out);
      CheckPerPortName(line, "--json", line.json);
      break;
    case TCommandKind::Write:
      Require(line.in.empty() != line.jsonIn.empty(),
              "write needs the configuration: either --in FILE.eth or --json FILE.json");
      Require(line.password.has_value(),
              "write needs --password TEXT: the module's login password is not kept in "
              "configuration files");
      CheckPerPortName(line, "--backup", line.backup);
      Require(line.backup.empty() || ConfigFileKind(line.backup).has_value(),
              "--backup needs a file name ending in .eth or .json");
      break;
    case TCommandKind::Reset:
      Require(line.yes,
              "reset restores the module's factory settings (\"Czy na pewno przywrócić "
              "ustawienia domyślne?\"); confirm with --yes");
      break;
    case TCommandKind::Show:
      Require(line.files.size() == 1, "show takes one file");
      break;
    case TCommandKind::Convert:
    case TCommandKind::Diff:
      Require(line.files.size() == 2, command + " takes two files");
      break;
  }
  if (device && !line.files.empty()) {
    throw TUsageError(command + " takes no file argument: " + line.files.front());
  }
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine line;
  TArgs walk(args);
  bool haveCommand = false;
  bool help = false;
  std::string writeJson;
  while (!walk.Done()) {
    std::string arg = walk.Next();
    if (arg == "-h") {
      help = true;
      continue;
    }
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!haveCommand) {
        const auto found = kCommands.find(arg);
        if (found == kCommands.end()) {
          throw TUsageError("unknown command '" + arg + "'");
        }
        line.kind = found->second;
        haveCommand = true;
      } else {
        line.files.push_back(arg);
      }
      continue;
    }
    std::optional<std::string> inlineValue;
    const std::size_t equals = arg.find('=');
    if (equals != std::string::npos) {
      inlineValue = arg.substr(equals + 1);
      arg.resize(equals);
    }
    if (arg == "--help") {
      help = true;
    } else if (arg == "--trace") {
      line.trace = true;
    } else if (arg == "--verify") {
      line.verify = true;
    } else if (arg == "--yes") {
      line.yes = true;
    } else if (arg == "--port") {
      const std::string value = walk.Value(arg, inlineValue);
      const auto port = ParsePortArgument(value);
      if (!port) {
        throw TUsageError("--port '" + value +
                          "' names no port: give \"COM 5\", \"COM5\", \"5\" (1 to 65535) or a "
                          "device path");
      }
      for (const TPortTarget& other : line.ports) {
        if (other.label == port->label) {
          throw TUsageError("--port " + port->label + " given twice");
        }
      }
      line.ports.push_back(*port);
    } else if (arg == "--out") {
      SetOnce(line.out, arg, walk.Value(arg, inlineValue));
    } else if (arg == "--json") {
      SetOnce(writeJson, arg, walk.Value(arg, inlineValue));
    } else if (arg == "--in") {
      SetOnce(line.in, arg, walk.Value(arg, inlineValue));
    } else if (arg == "--backup") {
      SetOnce(line.backup, arg, walk.Value(arg, inlineValue));
    } else if (arg == "--password") {
      if (line.password) {
        throw TUsageError("--password given twice");
      }
      line.password = walk.Value(arg, inlineValue);
    } else {
      throw TUsageError("unknown option " + arg);
    }
    if (inlineValue) {
      throw TUsageError(arg + " takes no value");
    }
  }
  if (help || !haveCommand) {
    line = TCommandLine{};
    line.kind = TCommandKind::Help;
    return line;
  }
  // --json is the output of read and the input of write.
  if (line.kind == TCommandKind::Write) {
    line.jsonIn = writeJson;
  } else {
    line.json = writeJson;
  }
  Validate(line);
  return line;
}

std::string FileNameForPort(const std::string& pattern, const TPortTarget& port) {
  std::string name = pattern;
  const std::string placeholder = kPortPlaceholder;
  for (std::size_t at = name.find(placeholder); at != std::string::npos;
       at = name.find(placeholder, at)) {
    name.replace(at, placeholder.size(), port.FileLabel());
    at += port.FileLabel().size();
  }
  return name;
}

std::string UsageText() {
  return R"(ethconf-cli: reads, writes and resets Ethernet modules over serial ports, and keeps
their configurations as ".eth" files or JSON text.

Usage:
  ethconf-cli ports
      Lists the serial ports the window would offer, with the device behind each.
  ethconf-cli read --port P [--port P ...] [--out FILE.eth] [--json FILE.json] [--trace]
      Reads each module's whole configuration and prints its firmware version, link status,
      IP and MAC address, token and configuration. --out saves the four file records as the
      window's "Zapis konf. do pliku" would after the same read (values outside the window's
      limits brought into them; a synchronisation time the window cannot show keeps the
      records as read, with a warning); --json saves the same records as JSON.
  ethconf-cli write --port P [--port P ...] (--in FILE.eth | --json FILE.json)
                    --password TEXT [--verify] [--backup FILE] [--trace]
      Writes the configuration and the login password, in the window's five steps (network,
      data server, NTP, intervals, password). The configuration is taken as the window takes a
      loaded file: values outside its limits are brought into them, with a warning, and a
      synchronisation time that is no time of day is refused.
      --backup first reads each module and saves its configuration (.eth or .json by the
      name); --verify reads each module back and fails, naming each field that differs,
      unless it returns what was written.
  ethconf-cli reset --port P [--port P ...] --yes [--trace]
      Restores the factory settings; refused without --yes.
  ethconf-cli show FILE
      Prints a configuration file (.eth or .json) field by field, with warnings for values
      outside the window's limits.
  ethconf-cli convert IN OUT
      Converts between ".eth" and JSON, either way, by the names' extensions, byte for byte.
  ethconf-cli diff A B
      Prints each field in which two configuration files (either kind) differ.

Ports: --port takes "COM 5", "COM5", "5" or a device path, and may be repeated for read, write
and reset: the modules are then handled at the same time and each port's outcome is reported.
With several ports, put {port} in the names of --out, --json and --backup (e.g.
"conf-{port}.eth"); it becomes the port's name (COM5).

--trace prints every frame sent (>) and received (<) in hex on stderr, with milliseconds since
the start, and each port's opening and closing.

Files: an ".eth" file must hold exactly 332 bytes; a shorter or longer one is refused.

JSON form: {"format": "ethconf-config", "version": 1, "Config": {...}, "REST": {...},
"NTP": {...}, "Period": {...}} with the records' field names. Addresses are dotted quads, ports,
intervals and the sync hour and minute numbers; texts are strings, and a text field with bytes
behind its terminator is {"hex": "..."} with all of its bytes. Every field is checked against
its width and form; a bad one is refused with its name, and nothing is written.

Exit status:
  0  success (diff: the files are the same)
  1  a module did not answer, refused a write, or returned other values than written
     (diff: the files differ)
  2  usage error
  3  a port could not be opened (missing device, busy, no permission)
  4  a file could not be read or written, or is not a valid configuration
With several ports the status is the highest of the ports' statuses.
)";
}

}  // namespace ethconf::cli
