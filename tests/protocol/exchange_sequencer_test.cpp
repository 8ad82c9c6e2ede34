#include "protocol/exchange_sequencer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "protocol/texts.h"
#include "sequencer_fakes.h"

namespace ethconf {
namespace {

using testing::TManualTimer;
using testing::TRecordingUi;
using testing::TScriptedLink;
using Log = std::vector<std::string>;

template <std::size_t N>
TCharField<N> Chars(std::string_view text) {
  TCharField<N> field;
  std::copy(text.begin(), text.end(), field.bytes.begin());
  return field;
}

// What the module holds. The status text is padded with a space and CR LF and uses the code
// page's ł (0xB3) and ą (0xB9); the REST record holds the flag and escape bytes, so its frames
// need stuffing.
TDeviceRecords ModuleRecords() {
  TDeviceRecords m;
  m.FEthVersion = {1, 5, Chars<12>("Jan 15 2018"), Chars<9>("12:34:56")};
  m.FEthStatus = {3,
                  Chars<32>(" Po\xB3\xB9"
                            "czony\r\n"),
                  {192, 168, 1, 20},
                  {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}};
  m.FEthConfig = {
      0, {192, 168, 111, 111}, {255, 255, 255, 0}, {192, 168, 111, 1}, {192, 168, 111, 1}, 2222};
  m.FEthREST = {Chars<65>("data~}.example.com"), 0x7E7D,
                Chars<65>("backup.example.com"), 5056,
                Chars<65>("sel.example.com"),    Chars<41>("3c8e5b21-7f04")};
  m.FEthNTP = {Chars<65>("pool.ntp.org"), 123, 3, 30};
  m.FEthPeriod = {5, 15};
  m.FEthPassword = {Chars<21>("secret")};
  m.FEthToken = {Chars<16>("ABCDEF0123456789")};
  return m;
}

// The records a write takes from the editor.
TDeviceRecords EditedRecords() {
  TDeviceRecords e = ModuleRecords();
  e.FEthConfig.DHCP = 1;
  e.FEthREST.Port1 = 8080;
  e.FEthNTP.SyncHour = 23;
  e.FEthPeriod = {60, 0};
  e.FEthPassword = {Chars<21>("n3w-pass")};
  return e;
}

template <class R>
ByteString Payload(std::uint8_t code, std::uint8_t objectId, const R& record) {
  const auto image = ToImage(record);
  ByteString payload{code, objectId};
  payload.insert(payload.end(), image.begin(), image.end());
  return payload;
}

// The module's answer to a read request.
ByteString ReadReply(const TDeviceRecords& m, std::uint8_t objectId) {
  ByteString payload;
  if (!VisitRecord(m, objectId,
                   [&](const auto& record) { payload = Payload(CmdReply, objectId, record); })) {
    ADD_FAILURE() << "no such object " << int{objectId};
  }
  return payload;
}

const std::vector<TMachineState> kWriteChain = {msWriteConfig, msWriteREST, msWriteNTP,
                                                msWritePeriod, msWriteLoginPassword};

// The sequencer with its surroundings, fresh for every case.
struct TRig {
  TDeviceRecords records;
  TScriptedLink link;
  TManualTimer timer;
  TRecordingUi ui;
  TExchangeSequencer seq{records, link, timer, ui};

  void StartRead() {
    seq.PrepareRead();
    seq.OpenLink(3);
  }

  // Takes the edited records in and queues the five write steps, as the editor does.
  void StartWrite() {
    seq.PrepareWrite([this](std::vector<TMachineState>& states) {
      const TDeviceRecords edited = EditedRecords();
      records.FEthConfig = edited.FEthConfig;
      records.FEthREST = edited.FEthREST;
      records.FEthNTP = edited.FEthNTP;
      records.FEthPeriod = edited.FEthPeriod;
      records.FEthPassword = edited.FEthPassword;
      states.insert(states.end(), kWriteChain.begin(), kWriteChain.end());
    });
    seq.OpenLink(3);
  }

  void Reply(const ByteString& payload) { link.Receive(EncodeFrame(payload)); }

  ByteString LastRequest() const { return link.SentPayloads().back(); }

  // Answers the outstanding read requests from the module's records, count times.
  void AnswerReads(const TDeviceRecords& module, int count) {
    for (int i = 0; i < count; ++i) {
      const ByteString request = LastRequest();
      ASSERT_EQ(request.size(), 2U);
      ASSERT_EQ(request[0], CmdRead);
      Reply(ReadReply(module, request[1]));
    }
  }

  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      timer.Tick(seq);
    }
  }
};

std::string Error(std::string_view text) {
  return "error " + std::string(text);
}
std::string Info(std::string_view text) {
  return "info " + std::string(text);
}

TEST(ExchangeSequencer, CompleteReadFillsTheRecordsShowsThePanelsAndReports) {
  TRig rig;
  const TDeviceRecords module = ModuleRecords();
  rig.StartRead();
  EXPECT_TRUE(rig.seq.Busy());
  EXPECT_EQ(rig.link.comNumber, 3);
  for (int step = 0; step < 8; ++step) {
    ASSERT_EQ(rig.link.sent.size(), static_cast<std::size_t>(step + 1));
    EXPECT_TRUE(rig.timer.Enabled());
    EXPECT_EQ(rig.timer.starts, step + 1);  // every request waits a fresh period
    rig.AnswerReads(module, 1);
  }

  EXPECT_EQ(rig.link.SentPayloads(), (std::vector<ByteString>{{0x02, 0x00},
                                                              {0x02, 0x01},
                                                              {0x02, 0x02},
                                                              {0x02, 0x04},
                                                              {0x02, 0x06},
                                                              {0x02, 0x05},
                                                              {0x02, 0x07},
                                                              {0x02, 0x03}}));
  EXPECT_EQ(rig.records, module);
  EXPECT_EQ(rig.ui.log, (Log{
                            "busy cursor",
                            "panel4 Łączenie...",
                            "pending",
                            "panel4 Połączony.",
                            "lock",
                            "panel0 Wersja firmware: 01.05, Jan 15 2018 12:34:56",
                            "panel1 Status połączenia: Połączony.",
                            "panel2 IP: 192.168.1.20",
                            "panel3 MAC: 00:1A:2B:3C:4D:5E",
                            "panel4 Rozłączanie...",
                            "panel4 Rozłączony.",
                            "unlock",
                            "restore cursor",
                            "editor",
                            Info(texts::kReadDone),
                        }));
  EXPECT_EQ(rig.seq.State(), msNone);
  EXPECT_FALSE(rig.seq.Busy());
  EXPECT_FALSE(rig.link.Open());
  EXPECT_FALSE(rig.timer.Enabled());
  EXPECT_TRUE(rig.seq.Buffer().empty());
}

TEST(ExchangeSequencer, CompleteWriteSendsEachRecordOnlyAfterThePreviousAck) {
  TRig rig;
  rig.seq.States() = {msReadStatus};  // left over from an earlier save; the write drops it
  rig.StartWrite();
  EXPECT_EQ(rig.seq.States(), kWriteChain);

  const TDeviceRecords edited = EditedRecords();
  const std::vector<ByteString> expected = {
      Payload(CmdWrite, ObjConfig, edited.FEthConfig),
      Payload(CmdWrite, ObjREST, edited.FEthREST),
      Payload(CmdWrite, ObjNTP, edited.FEthNTP),
      Payload(CmdWrite, ObjPeriod, edited.FEthPeriod),
      Payload(CmdWrite, ObjPassword, edited.FEthPassword),
  };
  const std::size_t sizes[] = {19, 240, 69, 4, 21};
  for (std::size_t step = 0; step < expected.size(); ++step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(rig.link.sent.size(), step + 1);
    EXPECT_EQ(rig.seq.State(), kWriteChain[step]);
    EXPECT_EQ(rig.LastRequest(), expected[step]);
    EXPECT_EQ(rig.LastRequest().size(), 2 + sizes[step]);
    EXPECT_EQ(rig.timer.starts, static_cast<int>(step + 1));
    rig.Reply({CmdReply, expected[step][1], 0x01});
  }

  EXPECT_EQ(rig.link.sent.size(), 5U);
  EXPECT_EQ(rig.ui.Lines("info"), Log{Info(texts::kWriteDone)});
  EXPECT_TRUE(rig.ui.Lines("error").empty());
  EXPECT_TRUE(rig.ui.Lines("panel0").empty());  // a write leaves the read panels alone
  EXPECT_TRUE(rig.seq.States().empty());
  EXPECT_EQ(rig.seq.State(), msNone);
  EXPECT_FALSE(rig.seq.Busy());
}

TEST(ExchangeSequencer, RefusedWriteEndsTheChainWithAWriteError) {
  const struct {
    const char* name;
    std::size_t refusedStep;
    ByteString ack;
  } cases[] = {
      {"configuration acknowledged without a result byte", 0, {0x04, 0x02}},
      {"NTP refused with result 0", 2, {0x04, 0x06, 0x00}},
      {"password refused with result 2", 4, {0x04, 0x07, 0x02}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRig rig;
    rig.StartWrite();
    for (std::size_t step = 0; step < c.refusedStep; ++step) {
      rig.Reply({CmdReply, rig.LastRequest()[1], 0x01});
    }
    rig.Reply(c.ack);

    EXPECT_EQ(rig.link.sent.size(), c.refusedStep + 1);  // nothing after the refused step
    EXPECT_EQ(rig.ui.Lines("error"), Log{Error(texts::kWriteError)});
    EXPECT_TRUE(rig.ui.Lines("info").empty());
    EXPECT_EQ(rig.seq.State(), msNone);
    EXPECT_FALSE(rig.link.Open());
    EXPECT_FALSE(rig.timer.Enabled());
    EXPECT_TRUE(rig.seq.Buffer().empty());
  }
}

TEST(ExchangeSequencer, FactoryResetReportsTheModulesResult) {
  const struct {
    std::uint8_t result;
    std::string report;
  } cases[] = {
      {1, Info(texts::kFactoryDone)},
      {0, Error(texts::kWriteError)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int{c.result});
    TRig rig;
    rig.seq.States() = kWriteChain;
    rig.seq.PrepareFactoryReset();
    EXPECT_TRUE(rig.seq.States().empty());
    rig.seq.OpenLink(3);
    EXPECT_EQ(rig.link.SentPayloads(), std::vector<ByteString>{ByteString({0x03, 0x08})});
    rig.Reply({CmdReply, ObjFactorySettings, c.result});

    EXPECT_EQ(rig.ui.log.back(), c.report);
    EXPECT_EQ(rig.ui.Lines("error").size() + rig.ui.Lines("info").size(), 1U);
    EXPECT_EQ(rig.seq.State(), msNone);
    EXPECT_FALSE(rig.link.Open());
  }
}

TEST(ExchangeSequencer, FifthSilentTickEndsTheExchangeWithATimeOut) {
  TRig rig;
  rig.StartRead();
  for (int tick = 1; tick <= 4; ++tick) {
    rig.timer.Tick(rig.seq);
    EXPECT_TRUE(rig.timer.Enabled());
    EXPECT_EQ(rig.timer.starts, 1 + tick);
    EXPECT_EQ(rig.seq.Wait(), tick);
    EXPECT_TRUE(rig.link.Open());
  }
  const std::size_t before = rig.ui.log.size();
  rig.timer.Tick(rig.seq);

  const Log after(rig.ui.log.begin() + static_cast<std::ptrdiff_t>(before), rig.ui.log.end());
  EXPECT_EQ(after, (Log{"reset cursor", "panel4 Rozłączanie...", "panel4 Rozłączony.", "unlock",
                        "restore cursor", Error(texts::kNoResponse)}));
  EXPECT_EQ(rig.link.sent.size(), 1U);
  EXPECT_FALSE(rig.timer.Enabled());
  EXPECT_FALSE(rig.link.Open());
  EXPECT_EQ(rig.seq.Wait(), 0);
  EXPECT_EQ(rig.seq.State(), msNone);
  EXPECT_FALSE(rig.seq.Busy());
}

TEST(ExchangeSequencer, TicksWhileThePortClosesDoNotReplaceTheOutcome) {
  TRig rig;
  rig.StartRead();
  rig.AnswerReads(ModuleRecords(), 7);
  // After the token reply the timer still runs until the closed event.
  rig.link.whileClosing = [&] {
    rig.Ticks(2);
    EXPECT_EQ(rig.seq.Wait(), 2);
  };
  rig.AnswerReads(ModuleRecords(), 1);

  EXPECT_EQ(rig.ui.log.back(), Info(texts::kReadDone));
  EXPECT_TRUE(rig.ui.Lines("error").empty());
  EXPECT_EQ(rig.seq.Wait(), 0);
  EXPECT_FALSE(rig.timer.Enabled());
}

TEST(ExchangeSequencer, ModuleSilentPartWayKeepsThePanelsAndLeavesTheEditorAlone) {
  TRig rig;
  const TDeviceRecords module = ModuleRecords();
  rig.StartRead();
  rig.AnswerReads(module, 3);  // version, status, configuration
  rig.Ticks(2);
  // The first bytes of the REST reply reset the count; the rest never comes.
  rig.link.Receive(ByteView(EncodeFrame(ReadReply(module, ObjREST))).first(20));
  EXPECT_EQ(rig.seq.Wait(), 0);
  rig.Ticks(4);
  EXPECT_TRUE(rig.link.Open());
  rig.Ticks(1);

  EXPECT_EQ(rig.ui.Lines("error"), Log{Error(texts::kNoResponse)});
  EXPECT_EQ(rig.ui.panels[0], "Wersja firmware: 01.05, Jan 15 2018 12:34:56");
  EXPECT_EQ(rig.ui.panels[3], "MAC: 00:1A:2B:3C:4D:5E");
  EXPECT_TRUE(rig.ui.Lines("editor").empty());
  EXPECT_EQ(rig.records.FEthConfig, module.FEthConfig);
  EXPECT_EQ(rig.records.FEthREST, TEthREST{});
}

TEST(ExchangeSequencer, ReplySplitOverTwoEventsIsTakenWithoutABox) {
  TRig rig;
  rig.StartRead();
  const ByteString frame = EncodeFrame(ReadReply(ModuleRecords(), ObjVersion));
  rig.link.Receive(ByteView(frame).first(5));
  EXPECT_EQ(rig.seq.Buffer().size(), 5U);
  EXPECT_EQ(rig.seq.State(), msReadVersion);
  rig.link.Receive(ByteView(frame).subspan(5));

  EXPECT_TRUE(rig.ui.Lines("error").empty());
  EXPECT_EQ(rig.seq.State(), msReadStatus);
  EXPECT_EQ(rig.LastRequest(), (ByteString{0x02, 0x01}));
  EXPECT_TRUE(rig.seq.Buffer().empty());
}

TEST(ExchangeSequencer, BufferThatIsNotOneFrameShowsItsBoxAndIsKept) {
  const ByteString frame = EncodeFrame(ReadReply(ModuleRecords(), ObjVersion));
  ByteString stray = {0x00};
  stray.insert(stray.end(), frame.begin(), frame.end());
  ByteString trailing = frame;
  trailing.push_back(0x01);
  ByteString corrupt = frame;
  corrupt[6] ^= 0x01;
  ByteString unfinished = {FrameFlag};
  unfinished.resize(kMaxFrameLength, 0x01);
  ByteString overlong = unfinished;
  overlong.push_back(0x01);

  const struct {
    const char* name;
    ByteString bytes;
    const char* box;  // nullptr: the reply may still be arriving, no box
  } cases[] = {
      {"stray byte before the reply", stray, texts::kFrameFormat},
      {"byte after a complete reply", trailing, texts::kFrameFormat},
      {"bit flipped in the payload", corrupt, texts::kFrameChecksum},
      {"nothing between two flags", {FrameFlag, FrameFlag}, texts::kFrameSize},
      {"short input without a flag", {0x41, 0x42}, texts::kFrameSize},
      {"opening flag, longest reply's length", unfinished, nullptr},
      {"opening flag, longer than any reply", overlong, texts::kFrameSize},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRig rig;
    rig.StartRead();
    rig.link.Receive(c.bytes);
    EXPECT_EQ(rig.ui.Lines("error"), c.box ? Log{Error(c.box)} : Log{});
    EXPECT_EQ(rig.seq.Buffer(), c.bytes);
    EXPECT_EQ(rig.seq.State(), msReadVersion);
    EXPECT_EQ(rig.link.sent.size(), 1U);
    EXPECT_TRUE(rig.timer.Enabled());
  }
}

TEST(ExchangeSequencer, StrayByteSpoilsEveryLaterEventUntilTheTimeOut) {
  TRig rig;
  rig.StartRead();
  rig.link.Receive(ByteString{0x00});
  rig.Reply(ReadReply(ModuleRecords(), ObjVersion));
  rig.Ticks(5);

  EXPECT_EQ(rig.ui.Lines("error"),
            (Log{Error(texts::kFrameSize), Error(texts::kFrameFormat), Error(texts::kNoResponse)}));
  EXPECT_EQ(rig.link.sent.size(), 1U);
  EXPECT_EQ(rig.records.FEthVersion, TEthVersion{});
}

TEST(ExchangeSequencer, ReplyWithoutTheAwaitedObjectIsIgnoredAndKept) {
  const struct {
    const char* name;
    ByteString payload;
  } cases[] = {
      {"status reply without a 0x00 while the version is awaited", {0x04, 0x01, 0x41, 0x42}},
      {"no reply code at all", {0x02, 0x00, 0x01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRig rig;
    rig.StartRead();
    rig.Reply(c.payload);
    EXPECT_TRUE(rig.ui.Lines("error").empty());
    EXPECT_EQ(rig.seq.Buffer(), EncodeFrame(c.payload));
    EXPECT_EQ(rig.seq.State(), msReadVersion);
    EXPECT_TRUE(rig.timer.Enabled());
    EXPECT_EQ(rig.records, TDeviceRecords{});

    // The kept frame spoils the next one appended to it.
    rig.Reply(ReadReply(ModuleRecords(), ObjVersion));
    EXPECT_EQ(rig.ui.Lines("error"), Log{Error(texts::kFrameChecksum)});
    EXPECT_EQ(rig.seq.State(), msReadVersion);
  }
}

TEST(ExchangeSequencer, DataWithoutAnExchangeIsDecodedButNotActedOn) {
  TRig rig;
  rig.Reply(ReadReply(ModuleRecords(), ObjVersion));
  EXPECT_TRUE(rig.ui.log.empty());
  EXPECT_EQ(rig.records, TDeviceRecords{});
  EXPECT_EQ(rig.seq.State(), msNone);

  rig.link.Receive(ByteString{0x00});
  EXPECT_EQ(rig.ui.log, Log{Error(texts::kFrameFormat)});
  EXPECT_TRUE(rig.link.sent.empty());
  EXPECT_EQ(rig.seq.State(), msNone);
}

TEST(ExchangeSequencer, DataEventInsideAnErrorBoxRunsToCompletionFirst) {
  TRig rig;
  rig.StartRead();
  rig.ui.insideNextError = [&] { rig.link.Receive(ByteString{0x02}); };
  rig.link.Receive(ByteString{0x01});

  EXPECT_EQ(rig.ui.Lines("error"), (Log{Error(texts::kFrameSize), Error(texts::kFrameSize)}));
  EXPECT_EQ(rig.seq.Buffer(), (ByteString{0x01, 0x02}));
  EXPECT_EQ(rig.seq.State(), msReadVersion);
  EXPECT_EQ(rig.link.sent.size(), 1U);
}

TEST(ExchangeSequencer, TimeOutInsideAnErrorBoxLeavesNothingForTheOuterEvent) {
  TRig rig;
  rig.StartRead();
  rig.ui.insideNextError = [&] { rig.Ticks(5); };
  rig.link.Receive(ByteString{0x01});

  EXPECT_EQ(rig.ui.Lines("error"), (Log{Error(texts::kFrameSize), Error(texts::kNoResponse)}));
  EXPECT_EQ(rig.ui.log.back(), Error(texts::kNoResponse));
  EXPECT_EQ(rig.seq.State(), msNone);
  EXPECT_TRUE(rig.seq.Buffer().empty());
  EXPECT_FALSE(rig.seq.Busy());
  EXPECT_EQ(rig.link.closes, 1);
}

TEST(ExchangeSequencer, FailedOpenReportsAndLeavesNothingRunning) {
  const struct {
    const char* name;
    int port;
    bool failOpen;
    bool failSend;
    Log log;
  } cases[] = {
      {"port refused",
       3,
       true,
       false,
       {"busy cursor", "panel4 Łączenie...", "pending", "restore cursor", "panel4 Port zamknięty.",
        Error(texts::kPortOpenError)}},
      {"port number out of range",
       65536,
       false,
       false,
       {"busy cursor", "panel4 Łączenie...", "pending", "restore cursor", "panel4 Port zamknięty.",
        Error(texts::kPortOpenError)}},
      // The link undoes an open whose opened event failed, without a closed event; the locked
      // controls must come back.
      {"first request cannot be queued",
       3,
       false,
       true,
       {"busy cursor", "panel4 Łączenie...", "pending", "panel4 Połączony.", "lock", "unlock",
        "restore cursor", "panel4 Port zamknięty.", Error(texts::kPortOpenError)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRig rig;
    rig.link.failOpen = c.failOpen;
    rig.link.failSend = c.failSend;
    rig.seq.PrepareRead();
    rig.seq.OpenLink(c.port);

    EXPECT_EQ(rig.ui.log, c.log);
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_FALSE(rig.link.Open());
    EXPECT_FALSE(rig.timer.Enabled());
    EXPECT_FALSE(rig.seq.Busy());
    EXPECT_EQ(rig.seq.State(), msReadVersion);
  }
}

TEST(ExchangeSequencer, FailedCloseKeepsTheWindowBusyUntilAClosedEvent) {
  TRig rig;
  rig.seq.PrepareFactoryReset();
  rig.seq.OpenLink(3);
  rig.link.failClose = true;
  rig.Reply({CmdReply, ObjFactorySettings, 0x01});

  EXPECT_EQ(rig.ui.log.back(), Error(texts::kPortCloseError));
  EXPECT_EQ(rig.ui.log.end()[-2], "restore cursor");
  EXPECT_TRUE(rig.ui.Lines("info").empty());
  EXPECT_TRUE(rig.seq.Busy());
  EXPECT_TRUE(rig.link.Open());

  // Closing the window closes the port once more; now the closed event reports.
  rig.link.failClose = false;
  rig.seq.CloseLink();
  EXPECT_EQ(rig.ui.log.back(), Info(texts::kFactoryDone));
  EXPECT_FALSE(rig.seq.Busy());
  EXPECT_EQ(rig.seq.State(), msNone);
}

TEST(ExchangeSequencer, EditorRefusingTheRecordsEndsTheReadAsAFailedClose) {
  TRig rig;
  rig.ui.editorThrows = true;
  rig.StartRead();
  rig.AnswerReads(ModuleRecords(), 8);

  const Log tail(rig.ui.log.end() - 7, rig.ui.log.end());
  EXPECT_EQ(tail, (Log{"panel4 Rozłączanie...", "panel4 Rozłączony.", "unlock", "restore cursor",
                       "editor", "restore cursor", Error(texts::kPortCloseError)}));
  EXPECT_TRUE(rig.ui.Lines("info").empty());
  EXPECT_EQ(rig.seq.State(), msReadToken);
  EXPECT_FALSE(rig.timer.Enabled());
  EXPECT_TRUE(rig.seq.Buffer().empty());
  EXPECT_FALSE(rig.link.Open());
  EXPECT_FALSE(rig.seq.Busy());
}

TEST(ExchangeSequencer, WriteWithNothingQueuedDoesNotOpenThePort) {
  TRig rig;
  rig.seq.PrepareWrite([](std::vector<TMachineState>&) {});
  EXPECT_EQ(rig.seq.State(), msNone);
  rig.seq.OpenLink(3);
  EXPECT_TRUE(rig.ui.log.empty());
  EXPECT_EQ(rig.link.comNumber, 0);
  EXPECT_FALSE(rig.seq.Busy());
}

TEST(ExchangeSequencer, RequestOnAClosedPortEntersTheStateButSendsNothing) {
  TRig rig;
  rig.seq.SendRequest(msReadStatus, CmdRead, ObjStatus);
  EXPECT_EQ(rig.seq.State(), msReadStatus);
  EXPECT_TRUE(rig.link.sent.empty());
  EXPECT_FALSE(rig.timer.Enabled());
}

}  // namespace
}  // namespace ethconf
