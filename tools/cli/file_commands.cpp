#include "tools/cli/file_commands.h"

#include "tools/cli/config_files.h"
#include "tools/cli/exit_codes.h"
#include "tools/cli/report_format.h"
#include "tools/cli/window_view.h"

namespace ethconf::cli {
namespace {

void WarnLimits(const std::string& file, const TDeviceRecords& records, const TConsole& console) {
  for (const std::string& warning : WindowLimitWarnings(records)) {
    console.Warning(file + ": " + warning);
  }
}

}  // namespace

int RunShow(const TCommandLine& line, const TConsole& console) {
  const std::string& file = line.files[0];
  TDeviceRecords records;
  try {
    records = LoadConfigFile(file);
  } catch (const TConfigFileError& e) {
    console.Error(e.what());
    return kExitFile;
  }
  console.Print(ConfigText(records));
  WarnLimits(file, records, console);
  return kExitOk;
}

int RunConvert(const TCommandLine& line, const TConsole& console) {
  const std::string& from = line.files[0];
  const std::string& to = line.files[1];
  if (!ConfigFileKind(to)) {
    console.Error(to + ": unknown kind of file; the name must end in .eth or .json");
    return kExitUsage;
  }
  try {
    const TDeviceRecords records = LoadConfigFile(from);
    WarnLimits(from, records, console);
    SaveConfigFile(to, records);
  } catch (const TConfigFileError& e) {
    console.Error(e.what());
    return kExitFile;
  }
  return kExitOk;
}

int RunDiff(const TCommandLine& line, const TConsole& console) {
  TDeviceRecords a;
  TDeviceRecords b;
  try {
    a = LoadConfigFile(line.files[0]);
    b = LoadConfigFile(line.files[1]);
  } catch (const TConfigFileError& e) {
    console.Error(e.what());
    return kExitFile;
  }
  const std::vector<std::string> lines = DiffLines(a, b);
  for (const std::string& diff : lines) {
    console.Print(diff + "\n");
  }
  return lines.empty() ? kExitOk : kExitDiffers;
}

}  // namespace ethconf::cli
