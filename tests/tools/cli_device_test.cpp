// ethconf-cli as a user runs it: the built program against simulated modules (the built
// ethconf-sim on pseudo-terminals), each test in a private runtime folder.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/editor_values.h"
#include "config/eth_file.h"
#include "config/texts.h"
#include "protocol/texts.h"
#include "serial/serial_device.h"
#include "tools/cli/config_json.h"
#include "tools/cli/window_view.h"
#include "tools/sim/sim_module.h"
#include "tools/sim/sim_state_file.h"

extern char** environ;

namespace ethconf::cli {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            posix_spawn_file_actions_t* actions) {
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), actions, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  return pid;
}

// One running ethconf-sim; stopped when the object goes.
class TSim {
 public:
  TSim(const fs::path& folder, std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string errPath = (folder / ("sim-" + std::to_string(++s_count) + ".err")).string();
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    m_pid = Spawn(ETHCONF_SIM_PATH, args, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // The simulator prints "COM<n> <device>" once its port is ready.
    std::string line;
    pollfd wait{fds[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&wait, 1, 10000) > 0) {
      char buffer[256];
      const ssize_t n = read(fds[0], buffer, sizeof buffer);
      if (n <= 0) {
        break;
      }
      line.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    std::istringstream fields(line);
    fields >> m_port >> m_device;
  }
  ~TSim() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  TSim(const TSim&) = delete;
  TSim& operator=(const TSim&) = delete;

  bool Ready() const { return m_pid > 0 && m_port.rfind("COM", 0) == 0 && !m_device.empty(); }
  const std::string& Port() const { return m_port; }  // "COM<n>"
  const std::string& Device() const { return m_device; }

 private:
  static inline int s_count = 0;
  pid_t m_pid = -1;
  std::string m_port;
  std::string m_device;
};

TDeviceRecords WindowInitialRecords() {
  TDeviceRecords records;
  std::vector<TMachineState> states;
  EditorToRecords(TEditorValues{}, records, states);
  return records;
}

bool SameFileRecords(const TDeviceRecords& a, const TDeviceRecords& b) {
  return EthFileImage(a) == EthFileImage(b);
}

class CliTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ethconf-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    // The simulators and the tool find each other's ports through this folder.
    setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
  }
  void TearDown() override {
    m_sims.clear();
    fs::remove_all(m_dir);
  }

  fs::path Path(const std::string& name) const { return m_dir / name; }

  TSim& StartSim(std::vector<std::string> args = {}) {
    m_sims.push_back(std::make_unique<TSim>(m_dir, std::move(args)));
    EXPECT_TRUE(m_sims.back()->Ready()) << "the simulator did not start";
    return *m_sims.back();
  }

  // A simulator whose module holds the records, kept in a state file that follows every write.
  TSim& StartSimWith(const TDeviceRecords& records, const std::string& stateName,
                     std::vector<std::string> args = {}) {
    WriteText(Path(stateName), sim::StateText(records));
    args.insert(args.begin(), {"--state", Path(stateName).string()});
    return StartSim(std::move(args));
  }

  TDeviceRecords StateOf(const std::string& stateName) const {
    TDeviceRecords records;
    std::string error;
    EXPECT_TRUE(sim::LoadStateFile(Path(stateName).string(), records, error)) << error;
    return records;
  }

  TRun Cli(const std::vector<std::string>& args) {
    const std::string outPath = Path("cli.out").string();
    const std::string errPath = Path("cli.err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    const pid_t pid = Spawn(ETHCONF_CLI_PATH, args, &actions);
    posix_spawn_file_actions_destroy(&actions);
    TRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
      run.status = WEXITSTATUS(status);
    }
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
  }

  void SaveEth(const std::string& name, const TDeviceRecords& records) {
    ASSERT_TRUE(SaveEthFile(Path(name), records).ok());
  }

  TDeviceRecords LoadEth(const std::string& name) {
    TDeviceRecords records;
    EXPECT_EQ(fs::file_size(Path(name)), kEthFileSize);
    EXPECT_TRUE(LoadEthFile(Path(name), records).ok());
    return records;
  }

  fs::path m_dir;
  std::vector<std::unique_ptr<TSim>> m_sims;
};

#define EXPECT_HOLDS(text, part) \
  EXPECT_NE(std::string(text).find(part), std::string::npos) << "missing: " << (part)

TEST_F(CliTool, ReadPrintsTheModuleAndSavesWhatTheWindowWouldSave) {
  TDeviceRecords module = sim::FactoryDefaults();
  module.FEthConfig.Port = 0;
  module.FEthPeriod.DataInterval = 3;
  module.FEthREST.Address2.bytes[40] = 'x';  // behind the terminator
  module.FEthREST.Key.bytes.fill('k');       // no terminator at all
  TSim& sim = StartSimWith(module, "module.state");

  const TRun run = Cli({"read", "--port", sim.Port(), "--out", Path("read.eth").string(), "--json",
                        Path("read.json").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.out, texts::kReadDone);
  EXPECT_HOLDS(run.out, "Wersja firmware: ");
  EXPECT_HOLDS(run.out, "Status połączenia: ");
  EXPECT_HOLDS(run.out, "MAC: ");
  EXPECT_HOLDS(run.out, "Token: ");
  EXPECT_HOLDS(run.out, "Period.DataInterval  3\n");
  EXPECT_HOLDS(run.err, "Config.Port: 0");
  EXPECT_HOLDS(run.err, "Period.DataInterval: 3");

  const TDeviceRecords expected = *AsWindowSaves(module);
  EXPECT_EQ(expected.FEthConfig.Port, 1);
  EXPECT_EQ(EthFileImage(LoadEth("read.eth")), EthFileImage(expected));
  TDeviceRecords fromJson;
  ConfigFromJsonText(ReadText(Path("read.json")), fromJson);
  EXPECT_TRUE(SameFileRecords(fromJson, expected));
}

TEST_F(CliTool, WriteWithVerifySendsTheFileAndThePassword) {
  TSim& sim = StartSimWith(sim::FactoryDefaults(), "module.state");
  const TDeviceRecords file = WindowInitialRecords();
  SaveEth("initial.eth", file);

  const TRun run = Cli({"write", "--port", sim.Device(), "--in", Path("initial.eth").string(),
                        "--password", "nowe hasło", "--verify"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.out, texts::kWriteDone);
  EXPECT_HOLDS(run.out, "verified");
  const TDeviceRecords stored = StateOf("module.state");
  EXPECT_TRUE(SameFileRecords(stored, file));
  EXPECT_EQ(stored.FEthPassword.Password.bytes[0], 'n');
  EXPECT_EQ(stored.FEthPassword.Password.bytes[8], 0xB3);  // ł in the module's code page
  EXPECT_EQ(stored.FEthPassword.Password.bytes[10], 0);
}

TEST_F(CliTool, ThreeModulesAreProvisionedInOneCall) {
  TDeviceRecords file = WindowInitialRecords();
  file.FEthREST.Port1 = 8080;
  file.FEthConfig.Port = 0;  // the window would write 1
  WriteText(Path("fleet.json"), ConfigToJsonText(file));
  std::vector<std::string> args = {
      "write",    "--json",   Path("fleet.json").string(),       "--password", "fleet",
      "--verify", "--backup", Path("before-{port}.eth").string()};
  std::vector<std::string> ports;
  for (int i = 0; i < 3; ++i) {
    TSim& sim = StartSimWith(sim::FactoryDefaults(), "m" + std::to_string(i) + ".state");
    ports.push_back(sim.Port());
    args.insert(args.end(), {"--port", sim.Port()});
  }

  const TRun run = Cli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.err, "Config.Port: 0");
  TDeviceRecords expected = file;
  expected.FEthConfig.Port = 1;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(SameFileRecords(StateOf("m" + std::to_string(i) + ".state"), expected)) << i;
    EXPECT_TRUE(SameFileRecords(LoadEth("before-" + ports[i] + ".eth"),
                                *AsWindowSaves(sim::FactoryDefaults())))
        << i;
  }
  std::size_t verified = 0;
  for (std::size_t at = run.out.find("verified"); at != std::string::npos;
       at = run.out.find("verified", at + 1)) {
    ++verified;
  }
  EXPECT_EQ(verified, 3u);
}

TEST_F(CliTool, ARefusedWriteStopsThereAndFails) {
  TSim& sim = StartSimWith(sim::FactoryDefaults(), "module.state", {"--refuse", "ntp"});
  TDeviceRecords file = WindowInitialRecords();
  SaveEth("c.eth", file);
  const TRun run =
      Cli({"write", "--port", sim.Port(), "--in", Path("c.eth").string(), "--password", "x"});
  EXPECT_EQ(run.status, 1);
  EXPECT_HOLDS(run.err, texts::kWriteError);
  const TDeviceRecords stored = StateOf("module.state");
  EXPECT_EQ(stored.FEthConfig, file.FEthConfig);  // acknowledged before the refusal
  EXPECT_EQ(stored.FEthNTP, sim::FactoryDefaults().FEthNTP);
  EXPECT_EQ(stored.FEthPeriod, sim::FactoryDefaults().FEthPeriod);
}

TEST_F(CliTool, ASilentModuleFailsTheCallWhileTheOtherPortsAreStillRead) {
  TSim& silent = StartSim({"--silent-after", "0"});
  TSim& sound = StartSim();
  const TRun run = Cli({"read", "--port", silent.Port(), "--port", sound.Port(), "--json",
                        Path("{port}.json").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_HOLDS(run.err, "COM " + silent.Port().substr(3) + " (");
  EXPECT_HOLDS(run.err, texts::kNoResponse);
  EXPECT_HOLDS(run.out, "COM " + sound.Port().substr(3) + " (");
  EXPECT_HOLDS(run.out, texts::kReadDone);
  EXPECT_EQ(run.out.find(texts::kNoResponse), std::string::npos);
  EXPECT_TRUE(fs::exists(Path(sound.Port() + ".json")));
  EXPECT_FALSE(fs::exists(Path(silent.Port() + ".json")));
}

TEST_F(CliTool, ATimeTheWindowCannotShowIsSavedAsRead) {
  TDeviceRecords module = sim::FactoryDefaults();
  module.FEthNTP.SyncHour = 24;
  module.FEthConfig.Port = 0;
  TSim& sim = StartSimWith(module, "module.state");
  const TRun run = Cli({"read", "--port", sim.Port(), "--out", Path("odd.eth").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.err, "NTP.SyncHour: 24");
  EXPECT_HOLDS(run.err, "saved as read");
  EXPECT_EQ(EthFileImage(LoadEth("odd.eth")), EthFileImage(module));
}

TEST_F(CliTool, PortsListsTheSimulatedModule) {
  TSim& sim = StartSim();
  const TRun run = Cli({"ports"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.out, "COM " + sim.Port().substr(3) + "  ");
}

TEST_F(CliTool, ABusyPortIsReportedWithItsCause) {
  TSim& sim = StartSim();
  const auto holder = OpenSerialDevice(sim.Device(), TLineSettings{});
  const TRun run = Cli({"reset", "--yes", "--port", sim.Port()});
  EXPECT_EQ(run.status, 3);
  EXPECT_HOLDS(run.err, texts::kPortOpenError);
  EXPECT_HOLDS(run.err, "busy");
  const TRun missing = Cli({"read", "--port", Path("no-such-tty").string()});
  EXPECT_EQ(missing.status, 3);
  EXPECT_HOLDS(missing.err, "no such device");
}

TEST_F(CliTool, VerifyNamesTheFieldTheModuleStoredOtherwise) {
  TSim& sim =
      StartSimWith(sim::FactoryDefaults(), "module.state", {"--store-differently", "period"});
  SaveEth("c.eth", WindowInitialRecords());
  const TRun run = Cli({"write", "--port", sim.Port(), "--in", Path("c.eth").string(), "--password",
                        "x", "--verify"});
  EXPECT_EQ(run.status, 1);
  EXPECT_HOLDS(run.out, texts::kWriteDone);
  EXPECT_HOLDS(run.err, "verification failed");
  EXPECT_HOLDS(run.err, "Period.DataInterval: wrote 5");
  EXPECT_EQ(run.err.find("Period.RESTInterval"), std::string::npos);
}

TEST_F(CliTool, ResetNeedsConsentAndRestoresTheFactorySettings) {
  TDeviceRecords changed = sim::FactoryDefaults();
  changed.FEthREST.Port1 = 1;
  TSim& sim = StartSimWith(changed, "module.state");
  const TRun refused = Cli({"reset", "--port", sim.Port()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(StateOf("module.state").FEthREST.Port1, 1);

  const TRun run = Cli({"reset", "--port", sim.Port(), "--yes"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_HOLDS(run.out, texts::kFactoryDone);
  EXPECT_EQ(StateOf("module.state").FEthREST, sim::FactoryDefaults().FEthREST);
}

TEST_F(CliTool, TraceShowsFramesAndBrokenFramesAreWarnedAbout) {
  TSim& sim = StartSim({"--bad-fcs"});
  const TRun run = Cli({"read", "--trace", "--port", sim.Port()});
  EXPECT_EQ(run.status, 1);
  EXPECT_HOLDS(run.err, "COM " + sim.Port().substr(3) + " > 7E FF 03 12 02 00");
  EXPECT_HOLDS(run.err, "COM " + sim.Port().substr(3) + " < 7E FF 03 12 04 00");
  EXPECT_HOLDS(run.err, "warning: COM " + sim.Port().substr(3) + ": " + texts::kFrameChecksum);
  EXPECT_HOLDS(run.err, texts::kNoResponse);
}

TEST_F(CliTool, InputThatFailsItsChecksReachesNoModuleAndNoFile) {
  TSim& sim = StartSimWith(sim::FactoryDefaults(), "module.state");
  std::string text = ConfigToJsonText(WindowInitialRecords());
  text.replace(text.find("\"Port1\": 5056"), 13, "\"Port1\": 70000");
  WriteText(Path("bad.json"), text);

  const TRun write =
      Cli({"write", "--port", sim.Port(), "--json", Path("bad.json").string(), "--password", "x"});
  EXPECT_EQ(write.status, 4);
  EXPECT_HOLDS(write.err, "REST.Port1");
  EXPECT_EQ(StateOf("module.state"), sim::FactoryDefaults());

  const TRun convert = Cli({"convert", Path("bad.json").string(), Path("out.eth").string()});
  EXPECT_EQ(convert.status, 4);
  EXPECT_HOLDS(convert.err, "REST.Port1");
  EXPECT_FALSE(fs::exists(Path("out.eth")));

  TDeviceRecords late = WindowInitialRecords();
  late.FEthNTP.SyncHour = 24;
  SaveEth("late.eth", late);
  const TRun lateWrite =
      Cli({"write", "--port", sim.Port(), "--in", Path("late.eth").string(), "--password", "x"});
  EXPECT_EQ(lateWrite.status, 4);
  EXPECT_HOLDS(lateWrite.err, texts::kFileLoadError);
  EXPECT_EQ(StateOf("module.state"), sim::FactoryDefaults());
}

TEST_F(CliTool, ShowConvertAndDiffWorkOnBothKinds) {
  TDeviceRecords records = WindowInitialRecords();
  records.FEthNTP.SyncHour = 24;
  records.FEthREST.Address1.bytes[60] = 0x81;
  SaveEth("a.eth", records);

  const TRun show = Cli({"show", Path("a.eth").string()});
  EXPECT_EQ(show.status, 0);
  EXPECT_HOLDS(show.out, "NTP.SyncHour         24\n");
  EXPECT_HOLDS(show.err, "NTP.SyncHour: 24");
  EXPECT_HOLDS(show.err, "REST.Address1");

  ASSERT_EQ(Cli({"convert", Path("a.eth").string(), Path("a.json").string()}).status, 0);
  ASSERT_EQ(Cli({"convert", Path("a.json").string(), Path("b.eth").string()}).status, 0);
  EXPECT_EQ(ReadText(Path("a.eth")), ReadText(Path("b.eth")));

  const TRun same = Cli({"diff", Path("a.eth").string(), Path("a.json").string()});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");

  TDeviceRecords other = records;
  other.FEthPeriod.RESTInterval = 60;
  other.FEthConfig.DHCP = 0;
  SaveEth("c.eth", other);
  const TRun differ = Cli({"diff", Path("a.json").string(), Path("c.eth").string()});
  EXPECT_EQ(differ.status, 1);
  EXPECT_EQ(differ.out, "Config.DHCP: 1 -> 0\nPeriod.RESTInterval: 0 -> 60\n");

  WriteText(Path("short.eth"), std::string(331, '\0'));
  const TRun shortFile = Cli({"show", Path("short.eth").string()});
  EXPECT_EQ(shortFile.status, 4);
  EXPECT_HOLDS(shortFile.err, "331 bytes");
}

}  // namespace
}  // namespace ethconf::cli
