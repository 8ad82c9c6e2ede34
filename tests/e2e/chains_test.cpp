// The read, write and factory-reset chains end to end: the sequencer, the real serial link with
// its threads, the headless event loop and the simulated module on a pseudo-terminal.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "protocol/constants.h"
#include "protocol/exchange_sequencer.h"
#include "protocol/texts.h"
#include "recording_ui.h"
#include "serial/headless_event_loop.h"
#include "serial/headless_reply_timer.h"
#include "serial/link_texts.h"
#include "serial/port_names.h"
#include "serial/serial_link.h"
#include "tools/sim/sim_in_process.h"

namespace ethconf::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using sim::FactoryDefaults;
using sim::TSimInProcess;
using sim::TSimOptions;

const std::vector<TMachineState> kAllWriteSteps = {msWriteConfig, msWriteREST, msWriteNTP,
                                                   msWritePeriod, msWriteLoginPassword};

// A private port folder, so the tests neither see nor disturb the user's ports.
class TTempPortFolder {
 public:
  TTempPortFolder() {
    std::string pattern = (fs::temp_directory_path() / "ethconf-e2e-XXXXXX").string();
    m_root = mkdtemp(pattern.data());
    m_roots = {m_root / "ports", "/nonexistent-dev"};
    PortFolder(m_roots);
  }
  ~TTempPortFolder() { fs::remove_all(m_root); }
  const TPortRoots& Roots() const { return m_roots; }

 private:
  fs::path m_root;
  TPortRoots m_roots;
};

class Chains : public ::testing::Test {
 protected:
  void StartSim(const TSimOptions& options = {},
                const TDeviceRecords& records = FactoryDefaults()) {
    m_sim.emplace(m_folder.Roots().PortFolder, options, records);
  }

  // Runs the prepared operation on the simulator's port until the closed event has reported
  // (or the open failed).
  void RunOn(int port) {
    m_ui.Clear();
    m_sequencer.OpenLink(port);
    ASSERT_TRUE(m_loop.RunUntil([this] { return !m_sequencer.Busy(); }, 60s));
  }
  void Read() {
    m_sequencer.PrepareRead();
    RunOn(m_sim->PortNumber());
  }
  void Write(const TDeviceRecords& values) {
    m_sequencer.PrepareWrite([&](std::vector<TMachineState>& states) {
      m_records.FEthConfig = values.FEthConfig;
      m_records.FEthREST = values.FEthREST;
      m_records.FEthNTP = values.FEthNTP;
      m_records.FEthPeriod = values.FEthPeriod;
      m_records.FEthPassword = values.FEthPassword;
      states.insert(states.end(), kAllWriteSteps.begin(), kAllWriteSteps.end());
    });
    RunOn(m_sim->PortNumber());
  }
  void FactoryReset() {
    m_sequencer.PrepareFactoryReset();
    RunOn(m_sim->PortNumber());
  }

  bool Logged(const std::string& entry) const {
    return std::find(m_ui.Log().begin(), m_ui.Log().end(), entry) != m_ui.Log().end();
  }
  std::ptrdiff_t LogIndex(const std::string& entry) const {
    return std::find(m_ui.Log().begin(), m_ui.Log().end(), entry) - m_ui.Log().begin();
  }

  TTempPortFolder m_folder;
  std::optional<TSimInProcess> m_sim;
  THeadlessEventLoop m_loop;
  TSerialLink m_link{
      m_loop, [this](std::uint16_t port) { return DevicePathForPort(port, m_folder.Roots()); }};
  TRecordingUi m_ui{m_loop};
  THeadlessReplyTimer m_timer{m_loop, [this] { m_sequencer.tmMainTimer(); }};
  TDeviceRecords m_records;
  TExchangeSequencer m_sequencer{m_records, m_link, m_timer, m_ui};

  void SetUp() override {
    m_link.SetOnFailure([this](const std::string& text) { m_ui.LinkFailure(text); });
  }
};

// What a read of a module holding these records yields: the status carries the address the
// module reports, which follows its configuration.
TDeviceRecords AsRead(TDeviceRecords records) {
  records.FEthStatus.IP =
      records.FEthConfig.DHCP == 1 ? sim::kDhcpLeaseAddress : records.FEthConfig.IP;
  return records;
}

TDeviceRecords ChangedSettings() {
  TDeviceRecords r = FactoryDefaults();
  r.FEthConfig.DHCP = 0;
  r.FEthConfig.IP = {192, 168, 111, 111};
  r.FEthConfig.Port = 0x7E7D;  // both bytes need escaping
  r.FEthREST.Address1.bytes = {'d', 'a', 't', 'a', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e'};
  r.FEthREST.Port1 = 5056;
  r.FEthREST.Key.bytes.fill(0x7E);
  r.FEthREST.Key.bytes.back() = 0;
  r.FEthNTP.SyncHour = 12;
  r.FEthNTP.SyncMinute = 30;
  r.FEthPeriod.DataInterval = 5;
  r.FEthPeriod.RESTInterval = 15;
  r.FEthPassword.Password.bytes = {'v', 'o', 'k', 'r', 'e'};
  return r;
}

TEST_F(Chains, ReadFillsEveryRecordShowsThePanelsAndReportsSuccess) {
  StartSim();
  Read();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kReadDone});
  EXPECT_EQ(m_records, AsRead(FactoryDefaults()));
  EXPECT_EQ(m_ui.Panel(0), "Wersja firmware: 02.07, Mar 14 2025 10:42:07");
  EXPECT_EQ(m_ui.Panel(1), "Status połączenia: Połączony z siecią.");
  EXPECT_EQ(m_ui.Panel(2), "IP: 192.168.1.57");
  EXPECT_EQ(m_ui.Panel(3), "MAC: 02:7D:45:54:7E:01");
  EXPECT_EQ(m_ui.Panel4History(),
            (std::vector<std::string>{texts::kPanelConnecting, texts::kPanelConnected,
                                      texts::kPanelDisconnecting, texts::kPanelDisconnected}));
  EXPECT_EQ(m_ui.Log(), (std::vector<std::string>{"busy", "lock", "unlock", "restore", "editor",
                                                  std::string("info: ") + texts::kReadDone}));
  EXPECT_EQ(m_sim->RepliesSent(), 8U);
  EXPECT_FALSE(m_link.Open());
}

TEST_F(Chains, WriteStoresEveryObjectAndAReadBringsItBack) {
  StartSim();
  const TDeviceRecords values = ChangedSettings();
  Write(values);
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kWriteDone});
  EXPECT_EQ(m_sim->Module().Records(), values);

  m_records = {};
  Read();
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kReadDone});
  EXPECT_EQ(m_records, AsRead(values));
  EXPECT_EQ(m_ui.Panel(2), "IP: 192.168.111.111");  // static now
}

TEST_F(Chains, FactoryResetRestoresTheDefaults) {
  StartSim({}, ChangedSettings());
  FactoryReset();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kFactoryDone});
  EXPECT_EQ(m_sim->Module().Records(), FactoryDefaults());
  EXPECT_EQ(m_sim->RepliesSent(), 1U);
}

TEST_F(Chains, ChainsFollowEachOtherOnTheSamePort) {
  StartSim();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    Read();
    EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kReadDone});
    FactoryReset();
    EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kFactoryDone});
  }
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{});
  EXPECT_EQ(m_sim->RepliesSent(), 27U);
}

TEST_F(Chains, ARefusedWriteEndsTheChainAndKeepsWhatWasAcknowledged) {
  TSimOptions options;
  options.behaviour.refuse = {ObjNTP};
  StartSim(options);
  const TDeviceRecords values = ChangedSettings();
  Write(values);
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{texts::kWriteError});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{});
  const TDeviceRecords stored = m_sim->Module().Records();
  EXPECT_EQ(stored.FEthConfig, values.FEthConfig);
  EXPECT_EQ(stored.FEthREST, values.FEthREST);
  EXPECT_EQ(stored.FEthNTP, FactoryDefaults().FEthNTP);
  EXPECT_EQ(stored.FEthPeriod, FactoryDefaults().FEthPeriod);
  EXPECT_EQ(stored.FEthPassword, FactoryDefaults().FEthPassword);
  EXPECT_EQ(m_sim->RepliesSent(), 3U);  // period and password were never sent
}

TEST_F(Chains, AnAcknowledgementWithoutResultIsARefusal) {
  TSimOptions options;
  options.behaviour.ackWithoutResult = true;
  StartSim(options, ChangedSettings());
  FactoryReset();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{texts::kWriteError});
  EXPECT_EQ(m_sim->Module().Records(), ChangedSettings());
}

TEST_F(Chains, RepliesInPiecesOnAPacedLineShowNoErrorBox) {
  TSimOptions options;
  options.timing.baud = 115200;
  options.timing.turnaround = 1ms;
  options.timing.chunk = 7;
  options.timing.gap = 3ms;
  StartSim(options);
  Read();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kReadDone});
  EXPECT_EQ(m_records, AsRead(FactoryDefaults()));
}

TEST_F(Chains, AModuleThatFallsSilentEndsInATimeOut) {
  TSimOptions options;
  options.faults.silentAfter = 2;
  StartSim(options);
  const auto start = std::chrono::steady_clock::now();
  Read();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{texts::kNoResponse});
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{});
  EXPECT_FALSE(Logged("editor"));
  EXPECT_EQ(m_ui.Panel(0), "Wersja firmware: 02.07, Mar 14 2025 10:42:07");
  EXPECT_EQ(m_ui.Panel(3), "MAC: 02:7D:45:54:7E:01");
  EXPECT_EQ(m_records.FEthConfig, TEthConfig{});  // never came
  // Five one-second ticks after the unanswered request.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 4s);
}

TEST_F(Chains, UnpluggingMidChainIsReportedAtOnceAndTheChainEnds) {
  TSimOptions options;
  options.faults.hangUpAfterBytes = 40;  // the version reply and part of the status reply
  StartSim(options);
  Read();
  EXPECT_TRUE(m_sim->WaitEnded(5s));
  EXPECT_EQ(m_ui.Failures(), std::vector<std::string>{link_texts::kReadError});
  EXPECT_EQ(m_ui.Panel(0), "Wersja firmware: 02.07, Mar 14 2025 10:42:07");
  EXPECT_FALSE(Logged("editor"));
  // The failure is heard while the chain still waits, before the closed event ends it.
  EXPECT_LT(LogIndex("failure: " + std::string(link_texts::kReadError)), LogIndex("unlock"));
  EXPECT_TRUE(Logged("unlock"));
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{});
  EXPECT_FALSE(m_link.Open());
}

TEST_F(Chains, APortHeldByAnotherProgramIsReported) {
  StartSim();
  TSerialLink holder(
      m_loop, [this](std::uint16_t port) { return DevicePathForPort(port, m_folder.Roots()); });
  holder.SetComNumber(static_cast<std::uint16_t>(m_sim->PortNumber()));
  holder.SetOpen(true);
  Read();
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{texts::kPortOpenError});
  EXPECT_EQ(m_ui.Panel(4), texts::kPanelPortClosed);
  EXPECT_FALSE(Logged("lock"));
  EXPECT_EQ(m_sim->RepliesSent(), 0U);

  holder.SetOpen(false);
  Read();
  EXPECT_EQ(m_ui.Infos(), std::vector<std::string>{texts::kReadDone});
}

TEST_F(Chains, AMissingPortIsReported) {
  StartSim();
  m_sequencer.PrepareRead();
  RunOn(m_sim->PortNumber() + 1);
  EXPECT_EQ(m_ui.Errors(), std::vector<std::string>{texts::kPortOpenError});
  EXPECT_EQ(m_ui.Panel4History(),
            (std::vector<std::string>{texts::kPanelConnecting, texts::kPanelPortClosed}));
  EXPECT_FALSE(Logged("lock"));
  EXPECT_EQ(m_sim->RepliesSent(), 0U);
}

}  // namespace
}  // namespace ethconf::e2e
