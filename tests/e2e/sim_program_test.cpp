// The ethconf-sim program as users and scripts run it: it announces its port, serves the chains
// through the real serial link, keeps its records in the state file and cleans up on SIGTERM.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "protocol/constants.h"
#include "protocol/exchange_sequencer.h"
#include "protocol/texts.h"
#include "recording_ui.h"
#include "serial/headless_event_loop.h"
#include "serial/headless_reply_timer.h"
#include "serial/port_names.h"
#include "serial/serial_link.h"
#include "tools/sim/sim_module.h"

extern char** environ;

namespace ethconf::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// One run of the program with its own runtime folder; killed on destruction if still running.
class TSimProgram {
 public:
  TSimProgram(const fs::path& runtimeDir, std::vector<std::string> args) {
    args.insert(args.begin(), ETHCONF_SIM_PROGRAM);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) {
        env.emplace_back(*e);
      }
    }
    env.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (spawned != 0) {
      m_pid = -1;
      throw std::runtime_error("posix_spawn failed");
    }
  }
  ~TSimProgram() {
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    close(m_out);
    close(m_err);
  }

  // The first line of standard output, or what came before the limit or the end.
  std::string ReadLine(std::chrono::milliseconds limit = 10s) {
    return ReadUntil(m_out, limit, true);
  }
  std::string ReadAllErrors() { return ReadUntil(m_err, 10s, false); }
  std::string ReadAllOutput() { return ReadUntil(m_out, 10s, false); }

  void Signal(int signal) { kill(m_pid, signal); }
  // The exit status, or -1 when it did not end normally within the limit.
  int Wait(std::chrono::milliseconds limit = 10s) {
    const int process = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (process < 0) {
      return -1;
    }
    pollfd p{process, POLLIN, 0};
    const bool ended = poll(&p, 1, static_cast<int>(limit.count())) == 1;
    close(process);
    int status = 0;
    if (!ended || waitpid(m_pid, &status, 0) != m_pid) {
      return -1;
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  static std::string ReadUntil(int fd, std::chrono::milliseconds limit, bool oneLine) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) {
        continue;
      }
      char c = 0;
      if (read(fd, &c, 1) != 1) {
        break;
      }
      if (oneLine && c == '\n') {
        break;
      }
      text.push_back(c);
    }
    return text;
  }

  pid_t m_pid = -1;
  int m_out = -1;
  int m_err = -1;
};

class SimProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ethconf-simprog-XXXXXX").string();
    m_runtime = mkdtemp(pattern.data());
    m_roots = {m_runtime / "ethconf" / "ports", "/nonexistent-dev"};
  }
  void TearDown() override { fs::remove_all(m_runtime); }

  // Parses "COM<n> <device>".
  static int PortOf(const std::string& line) {
    int port = 0;
    if (std::sscanf(line.c_str(), "COM%d /dev/", &port) != 1) {
      return 0;
    }
    return port;
  }

  // Runs one prepared operation on the port through the real link and returns what was shown.
  TRecordingUi Run(int port, const std::function<void(TExchangeSequencer&)>& prepare,
                   TDeviceRecords& records) {
    THeadlessEventLoop loop;
    TSerialLink link(loop, [this](std::uint16_t n) { return DevicePathForPort(n, m_roots); });
    TRecordingUi ui(loop);
    TExchangeSequencer* sequencer = nullptr;
    THeadlessReplyTimer timer(loop, [&] { sequencer->tmMainTimer(); });
    TExchangeSequencer seq(records, link, timer, ui);
    sequencer = &seq;
    prepare(seq);
    seq.OpenLink(port);
    EXPECT_TRUE(loop.RunUntil([&] { return !seq.Busy(); }, 60s));
    return ui;
  }

  fs::path m_runtime;
  TPortRoots m_roots;
};

TEST_F(SimProgram, ServesTheChainsKeepsItsStateAndCleansUpOnSigterm) {
  const fs::path state = m_runtime / "module.state";
  TDeviceRecords written = sim::FactoryDefaults();
  written.FEthPeriod.DataInterval = 5;
  written.FEthPeriod.RESTInterval = 15;
  written.FEthPassword.Password.bytes = {'v', 'o', 'k', 'r', 'e'};
  {
    TSimProgram program(m_runtime, {"--state", state.string()});
    const std::string line = program.ReadLine();
    const int port = PortOf(line);
    ASSERT_GE(port, 100) << line;
    EXPECT_TRUE(fs::is_symlink(m_roots.PortFolder / ("COM" + std::to_string(port))));

    TDeviceRecords records = written;
    const TRecordingUi ui = Run(
        port,
        [](TExchangeSequencer& s) {
          s.PrepareWrite([](std::vector<TMachineState>& states) {
            states = {msWriteConfig, msWriteREST, msWriteNTP, msWritePeriod, msWriteLoginPassword};
          });
        },
        records);
    EXPECT_EQ(ui.Infos(), std::vector<std::string>{texts::kWriteDone});
    std::ifstream saved(state);
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_NE(text.str().find("period 05000F00\n"), std::string::npos) << text.str();

    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_FALSE(
        fs::exists(fs::symlink_status(m_roots.PortFolder / ("COM" + std::to_string(port)))));
  }
  // A new run starts from the saved records.
  TSimProgram program(m_runtime, {"--state", state.string(), "--port", "7"});
  ASSERT_EQ(PortOf(program.ReadLine()), 7);
  TDeviceRecords records;
  const TRecordingUi ui = Run(
      7, [](TExchangeSequencer& s) { s.PrepareRead(); }, records);
  EXPECT_EQ(ui.Infos(), std::vector<std::string>{texts::kReadDone});
  EXPECT_EQ(records.FEthPeriod, written.FEthPeriod);
  EXPECT_EQ(records.FEthPassword, written.FEthPassword);
  program.Signal(SIGINT);
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(m_roots.PortFolder / "COM7")));
}

TEST_F(SimProgram, HangsUpAndExitsWhenAsked) {
  TSimProgram program(m_runtime, {"--hangup-after-bytes", "3"});
  const int port = PortOf(program.ReadLine());
  ASSERT_GT(port, 0);
  const std::string device = DevicePathForPort(static_cast<std::uint16_t>(port), m_roots);
  const int line = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(line, 0) << device;
  const std::uint8_t readVersion[] = {0x7E, 0xFF, 0x03, 0x12, 0x02, 0x00, 0x7D, 0x5D, 0x1C, 0x7E};
  ASSERT_EQ(write(line, readVersion, sizeof readVersion), static_cast<ssize_t>(sizeof readVersion));
  // The first three reply bytes come, then the line is gone.
  std::string got;
  for (;;) {
    pollfd p{line, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 10000), 1);
    char buffer[64];
    const ssize_t n = read(line, buffer, sizeof buffer);
    if (n <= 0) {
      break;
    }
    got.append(buffer, static_cast<std::size_t>(n));
  }
  close(line);
  EXPECT_EQ(got, "\x7E\xFF\x03");
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_NE(program.ReadAllErrors().find("hung up"), std::string::npos);
  EXPECT_FALSE(fs::exists(fs::symlink_status(m_roots.PortFolder / ("COM" + std::to_string(port)))));
}

TEST_F(SimProgram, RefusesATakenPortAndBadOptions) {
  TSimProgram first(m_runtime, {"--port", "9"});
  ASSERT_EQ(PortOf(first.ReadLine()), 9);
  TSimProgram second(m_runtime, {"--port", "9"});
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_NE(second.ReadAllErrors().find("COM9 is already taken"), std::string::npos);
  // The first one's link is left alone.
  EXPECT_TRUE(fs::is_symlink(m_roots.PortFolder / "COM9"));

  TSimProgram bad(m_runtime, {"--baud", "fast"});
  EXPECT_EQ(bad.Wait(), 2);
  EXPECT_NE(bad.ReadAllErrors().find("--baud"), std::string::npos);

  TSimProgram help(m_runtime, {"--help"});
  EXPECT_EQ(help.Wait(), 0);
  EXPECT_NE(help.ReadAllOutput().find("Usage: ethconf-sim"), std::string::npos);
}

}  // namespace
}  // namespace ethconf::e2e
