#include "tools/cli/device_commands.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "config/char_field.h"
#include "config/editor_values.h"
#include "config/texts.h"
#include "protocol/ansi_codepage.h"
#include "tools/cli/config_files.h"
#include "tools/cli/exit_codes.h"
#include "tools/cli/port_session.h"
#include "tools/cli/report_format.h"
#include "tools/cli/window_view.h"

namespace ethconf::cli {
namespace {

// An exchange that keeps receiving bytes never times out; no operation is let run longer.
constexpr std::chrono::seconds kOperationLimit{60};

// One port's share of a command: its session and what it reports once all ports are done.
struct TPortRun {
  std::unique_ptr<TPortSession> session;
  int status = kExitOk;
  std::string out;
  std::string err;
  bool finished = false;

  std::string Name() const { return session->Name(); }

  // Records a failed operation and ends the port's run; false then.
  bool Succeeded(const TOperationResult& result, const std::string& step = {}) {
    if (result.Ok()) {
      return true;
    }
    status = result.result == TCliSequencerUi::TResult::PortError ? kExitPort : kExitDevice;
    err += Name() + ": " + step + result.message + "\n";
    finished = true;
    return false;
  }

  void Warn(const std::string& text) { err += "warning: " + Name() + ": " + text + "\n"; }

  bool Save(const std::string& path, TConfigFileKind kind, const TDeviceRecords& records) {
    try {
      SaveConfigFile(path, records, kind);
      return true;
    } catch (const TConfigFileError& e) {
      status = std::max(status, kExitFile);
      err += Name() + ": " + e.what() + "\n";
      return false;
    }
  }
};

// What the window would save after showing the records; the records as read when it cannot
// show them (a synchronisation time that is no time of day), so nothing read is lost.
TDeviceRecords RecordsToSave(TPortRun& run, const TDeviceRecords& read) {
  if (auto saved = AsWindowSaves(read)) {
    return *saved;
  }
  run.Warn("the window cannot show this configuration (synchronisation time " +
           std::to_string(read.FEthNTP.SyncHour) + ":" + std::to_string(read.FEthNTP.SyncMinute) +
           "); it is saved as read");
  return read;
}

// Runs plan for every port at the same time, each port with its own link and sequencer on one
// event loop, then prints each port's report in the order the ports were given.
int RunOnPorts(const TCommandLine& line, const TConsole& console, int operationsPerPort,
               const std::function<void(TPortRun&)>& plan) {
  THeadlessEventLoop loop;
  TSessionOptions options;
  options.trace = line.trace ? console.err : nullptr;
  options.warn = [&console](const std::string& text) { console.Warning(text); };
  std::vector<TPortRun> runs(line.ports.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    runs[i].session = std::make_unique<TPortSession>(loop, line.ports[i], options);
  }
  for (TPortRun& run : runs) {
    loop.Post([&run, &plan] { plan(run); });
  }
  const auto allFinished = [&runs] {
    return std::all_of(runs.begin(), runs.end(), [](const TPortRun& r) { return r.finished; });
  };
  loop.RunUntil(allFinished, kOperationLimit * operationsPerPort);

  int status = kExitOk;
  for (TPortRun& run : runs) {
    if (!run.finished) {
      run.status = kExitDevice;
      run.err += run.Name() + ": no outcome within " +
                 std::to_string((kOperationLimit * operationsPerPort).count()) + " s\n";
    }
    console.Print(run.out);
    if (!run.err.empty()) {
      std::fputs(run.err.c_str(), console.err);
      std::fflush(console.err);
    }
    status = std::max(status, run.status);
  }
  return status;
}

void ReadPlan(const TCommandLine& line, TPortRun& run) {
  run.session->StartRead([&line, &run](const TOperationResult& result) {
    if (!run.Succeeded(result)) {
      return;
    }
    const TDeviceRecords& read = run.session->Records();
    run.out += run.Name() + ": " + result.message + "\n" + ModuleText(read) + ConfigText(read);
    for (const std::string& warning : WindowLimitWarnings(read)) {
      run.Warn(warning);
    }
    if (!line.out.empty() || !line.json.empty()) {
      const TDeviceRecords saved = RecordsToSave(run, read);
      if (!line.out.empty()) {
        run.Save(FileNameForPort(line.out, run.session->Target()), TConfigFileKind::Eth, saved);
      }
      if (!line.json.empty()) {
        run.Save(FileNameForPort(line.json, run.session->Target()), TConfigFileKind::Json, saved);
      }
    }
    run.finished = true;
  });
}

void VerifyStep(TPortRun& run, const TDeviceRecords& written) {
  run.session->StartRead([&run, written](const TOperationResult& result) {
    if (!run.Succeeded(result, "verification read: ")) {
      return;
    }
    const std::vector<std::string> mismatches = VerifyMismatches(written, run.session->Records());
    if (mismatches.empty()) {
      run.out += run.Name() + ": verified, the module returns what was written\n";
    } else {
      run.status = kExitDevice;
      run.err += run.Name() +
                 ": verification failed, the module returns other values than "
                 "were written:\n";
      for (const std::string& mismatch : mismatches) {
        run.err += "  " + mismatch + "\n";
      }
    }
    run.finished = true;
  });
}

void WriteStep(const TCommandLine& line, const TEditorValues& values, TPortRun& run) {
  run.session->StartWrite(values, [&line, &run](const TOperationResult& result) {
    if (!run.Succeeded(result)) {
      return;
    }
    run.out += run.Name() + ": " + result.message + "\n";
    if (line.verify) {
      VerifyStep(run, run.session->Records());
    } else {
      run.finished = true;
    }
  });
}

void WritePlan(const TCommandLine& line, const TEditorValues& values, TPortRun& run) {
  if (line.backup.empty()) {
    WriteStep(line, values, run);
    return;
  }
  run.session->StartRead([&line, &values, &run](const TOperationResult& result) {
    if (!run.Succeeded(result, "backup read: ")) {
      return;
    }
    const std::string path = FileNameForPort(line.backup, run.session->Target());
    if (!run.Save(path, *ConfigFileKind(line.backup), RecordsToSave(run, run.session->Records()))) {
      run.err += run.Name() + ": nothing written, the backup could not be saved\n";
      run.finished = true;
      return;
    }
    run.out += run.Name() + ": backup saved to " + path + "\n";
    WriteStep(line, values, run);
  });
}

// The password as the window's field would take it: at most its typing limit, and only
// characters the module's code page holds.
bool CheckPassword(const std::string& password, const TConsole& console) {
  const ByteString bytes = Utf8ToAnsi(password);
  if (AnsiToUtf8(bytes) != password) {
    console.Error(
        "--password holds a character the module's code page (Windows-1250) cannot "
        "store");
    return false;
  }
  if (bytes.size() > static_cast<std::size_t>(kPasswordMaxChars)) {
    console.Error("--password is longer than the " + std::to_string(kPasswordMaxChars) +
                  " characters the module's password holds");
    return false;
  }
  return true;
}

}  // namespace

int RunRead(const TCommandLine& line, const TConsole& console) {
  return RunOnPorts(line, console, 1, [&line](TPortRun& run) { ReadPlan(line, run); });
}

int RunWrite(const TCommandLine& line, const TConsole& console) {
  if (!CheckPassword(*line.password, console)) {
    return kExitUsage;
  }
  const bool fromJson = !line.jsonIn.empty();
  const std::string& input = fromJson ? line.jsonIn : line.in;
  TDeviceRecords records;
  try {
    records = LoadConfigFile(input, fromJson ? TConfigFileKind::Json : TConfigFileKind::Eth);
  } catch (const TConfigFileError& e) {
    console.Error(e.what());
    return kExitFile;
  }
  for (const std::string& warning : WindowLimitWarnings(records)) {
    console.Warning(input + ": " + warning);
  }
  TEditorValues values;
  try {
    values = EditorForWrite(records, *line.password);
  } catch (const TConversionError& e) {
    console.Error(std::string(texts::kFileLoadError) + " (" + input + ": " + e.what() + ")");
    return kExitFile;
  }
  const int operations = 1 + (line.backup.empty() ? 0 : 1) + (line.verify ? 1 : 0);
  return RunOnPorts(line, console, operations,
                    [&line, &values](TPortRun& run) { WritePlan(line, values, run); });
}

int RunReset(const TCommandLine& line, const TConsole& console) {
  return RunOnPorts(line, console, 1, [](TPortRun& run) {
    run.session->StartFactoryReset([&run](const TOperationResult& result) {
      if (run.Succeeded(result)) {
        run.out += run.Name() + ": " + result.message + "\n";
        run.finished = true;
      }
    });
  });
}

}  // namespace ethconf::cli
