#include "tools/cli/cli_main.h"

#include <exception>

#include "tools/cli/command_line.h"
#include "tools/cli/device_commands.h"
#include "tools/cli/exit_codes.h"
#include "tools/cli/file_commands.h"
#include "tools/cli/ports_command.h"

namespace ethconf::cli {

int RunCli(const std::vector<std::string>& args, const TConsole& console) {
  TCommandLine line;
  try {
    line = ParseCommandLine(args);
  } catch (const TUsageError& e) {
    console.Error(std::string("ethconf-cli: ") + e.what() + "\nTry 'ethconf-cli --help'.");
    return kExitUsage;
  }
  switch (line.kind) {
    case TCommandKind::Help:
      console.Print(UsageText());
      return kExitOk;
    case TCommandKind::Ports:
      return RunPorts(console);
    case TCommandKind::Read:
      return RunRead(line, console);
    case TCommandKind::Write:
      return RunWrite(line, console);
    case TCommandKind::Reset:
      return RunReset(line, console);
    case TCommandKind::Show:
      return RunShow(line, console);
    case TCommandKind::Convert:
      return RunConvert(line, console);
    case TCommandKind::Diff:
      return RunDiff(line, console);
  }
  return kExitUsage;
}

}  // namespace ethconf::cli
