#include "protocol/exchange_sequencer.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "protocol/constants.h"
#include "protocol/frame_codec.h"
#include "protocol/parse_reply.h"
#include "protocol/status_texts.h"
#include "protocol/texts.h"

namespace ethconf {
namespace {

// One link of the read chain: the reply awaited in a state, and the request that follows it.
struct TReadStep {
  TMachineState state;
  std::uint8_t objectId;
  TMachineState next;  // msNone: the chain is complete, the port closes
  std::uint8_t nextObjectId;
};

constexpr TReadStep kReadChain[] = {
    {msReadVersion, ObjVersion, msReadStatus, ObjStatus},
    {msReadStatus, ObjStatus, msReadConfig, ObjConfig},
    {msReadConfig, ObjConfig, msReadREST, ObjREST},
    {msReadREST, ObjREST, msReadNTP, ObjNTP},
    {msReadNTP, ObjNTP, msReadPeriod, ObjPeriod},
    {msReadPeriod, ObjPeriod, msReadLoginPassword, ObjPassword},
    {msReadLoginPassword, ObjPassword, msReadToken, ObjToken},
    {msReadToken, ObjToken, msNone, 0},
};

// The object each write step sends and whose acknowledgement it awaits.
struct TWriteStep {
  TMachineState state;
  std::uint8_t objectId;
};

constexpr TWriteStep kWriteSteps[] = {
    {msWriteConfig, ObjConfig},
    {msWriteREST, ObjREST},
    {msWriteNTP, ObjNTP},
    {msWritePeriod, ObjPeriod},
    {msWriteLoginPassword, ObjPassword},
};

const TReadStep* FindReadStep(TMachineState state) {
  const auto* step = std::find_if(std::begin(kReadChain), std::end(kReadChain),
                                  [&](const TReadStep& s) { return s.state == state; });
  return step == std::end(kReadChain) ? nullptr : step;
}

const TWriteStep* FindWriteStep(TMachineState state) {
  const auto* step = std::find_if(std::begin(kWriteSteps), std::end(kWriteSteps),
                                  [&](const TWriteStep& s) { return s.state == state; });
  return step == std::end(kWriteSteps) ? nullptr : step;
}

// A reply whose closing flag has not come yet: it begins with the flag, holds no second one
// and is not longer than any reply of the module can be. Decoding it now would only tell the
// user that a healthy reply is incomplete.
bool FrameStillArriving(const ByteString& buffer) {
  return !buffer.empty() && buffer.front() == FrameFlag && buffer.size() <= kMaxFrameLength &&
         std::find(buffer.begin() + 1, buffer.end(), FrameFlag) == buffer.end();
}

}  // namespace

TExchangeSequencer::TExchangeSequencer(TDeviceRecords& records, ISerialPort& port,
                                       IReplyTimer& timer, ISequencerUi& ui)
    : FRecords(records), FPort(port), FTimer(timer), FUi(ui) {
  FPort.SetEvents({
      .OnPortOpen = [this] { acpCOMPortPortOpen(); },
      .OnPortClose = [this] { acpCOMPortPortClose(); },
      .OnTriggerAvail = [this](std::uint16_t count) { acpCOMPortTriggerAvail(count); },
  });
}

TExchangeSequencer::~TExchangeSequencer() {
  FPort.SetEvents({});
}

void TExchangeSequencer::PrepareRead() {
  FState = msReadVersion;
}

void TExchangeSequencer::PrepareWrite(
    const std::function<void(std::vector<TMachineState>& states)>& fill) {
  FStates.clear();
  fill(FStates);
  FState = FStates.empty() ? msNone : FStates.front();
}

void TExchangeSequencer::PrepareFactoryReset() {
  FStates.clear();
  FState = msFactorySettings;
}

void TExchangeSequencer::OpenLink(int port) {
  if (FState != msReadVersion && FState != msFactorySettings && FindWriteStep(FState) == nullptr) {
    return;
  }
  FBusy = true;
  FLocked = false;
  FUi.ShowBusyCursor();
  FUi.SetStatusText(4, texts::kPanelConnecting);
  FUi.ProcessPendingEvents();
  try {
    if (port < 1 || port > 0xFFFF) {
      throw TLinkError("port number out of range");
    }
    FPort.SetComNumber(static_cast<std::uint16_t>(port));
    FPort.SetOpen(true);
  } catch (const std::exception&) {
    // A failure inside the opened event comes out here too, after the controls were locked and
    // the timer armed; the link then undoes the open without a closed event, so undo ours.
    FTimer.SetEnabled(false);
    if (FLocked) {
      FLocked = false;
      FUi.UnlockControls();
    }
    FUi.RestoreCursor();
    FUi.SetStatusText(4, texts::kPanelPortClosed);
    FUi.ShowError(texts::kPortOpenError);
    FBusy = false;
  }
}

void TExchangeSequencer::CloseLink() {
  FUi.SetStatusText(4, texts::kPanelDisconnecting);
  try {
    FPort.SetOpen(false);
  } catch (const std::exception&) {
    FUi.RestoreCursor();
    FUi.ShowError(texts::kPortCloseError);
  }
}

void TExchangeSequencer::SendRequest(TMachineState state, std::uint8_t code, std::uint8_t objectId,
                                     ByteView data) {
  FState = state;
  Data = {code, objectId};
  Data.insert(Data.end(), data.begin(), data.end());
  Data = EncodeFrame(Data);
  if (FPort.Open()) {
    FTimer.SetEnabled(true);
    FPort.PutString(Data);
  }
}

void TExchangeSequencer::SendWriteStep(TMachineState state) {
  const TWriteStep* step = FindWriteStep(state);
  if (step == nullptr) {
    return;
  }
  ByteString image;
  VisitRecord(std::as_const(FRecords), step->objectId, [&](const auto& record) {
    const auto bytes = ToImage(record);
    image.assign(bytes.begin(), bytes.end());
  });
  SendRequest(state, CmdWrite, step->objectId, image);
}

void TExchangeSequencer::acpCOMPortPortOpen() {
  FUi.SetStatusText(4, texts::kPanelConnected);
  FUi.LockControls();
  FLocked = true;
  if (FState == msReadVersion) {
    SendRequest(msReadVersion, CmdRead, ObjVersion);
  } else if (FState == msFactorySettings) {
    SendRequest(msFactorySettings, CmdWrite, ObjFactorySettings);
  } else {
    SendWriteStep(FState);
  }
}

void TExchangeSequencer::acpCOMPortTriggerAvail(std::uint16_t count) {
  if (!FPort.CharReady()) {
    return;
  }
  FWait = 0;
  for (std::uint16_t i = 0; i < count; ++i) {
    FBuffer.push_back(FPort.GetChar());
  }
  if (FrameStillArriving(FBuffer)) {
    return;
  }
  // The error box runs a nested event loop that may append to FBuffer, accept a reply or end
  // the exchange; the decoder therefore works on its own copy, and an event whose box was up
  // meanwhile comes back with an empty payload and does nothing more.
  const ByteString frame = FBuffer;
  const ByteString payload =
      DecodeFrame(frame, [this](std::string_view message) { FUi.ShowError(message); });
  if (std::find(payload.begin(), payload.end(), CmdReply) == payload.end()) {
    return;
  }
  OnReply(payload);
}

void TExchangeSequencer::OnReply(ByteView payload) {
  if (FindReadStep(FState) != nullptr) {
    AcceptReadStep(payload);
  } else if (FindWriteStep(FState) != nullptr) {
    AcceptWriteStep(payload);
  } else if (FState == msFactorySettings) {
    AcceptFactoryReset(payload);
  }
  // In msNone, msWriteError and msTimeOutError a reply is not awaited and is left alone.
}

void TExchangeSequencer::AcceptReadStep(ByteView payload) {
  const TReadStep& step = *FindReadStep(FState);
  bool accepted = false;
  VisitRecord(FRecords, step.objectId, [&](auto& record) {
    accepted = ParseReply(CmdReply, step.objectId, record, payload);
  });
  if (!accepted) {
    return;  // the timer runs on and the buffer keeps the reply
  }
  if (step.next == msNone) {
    // The closed event's handler disables the timer.
    FBuffer.clear();
    CloseLink();
    return;
  }
  FTimer.SetEnabled(false);
  FBuffer.clear();
  if (step.state == msReadVersion) {
    FUi.SetStatusText(0, VersionPanelText(FRecords.FEthVersion));
  } else if (step.state == msReadStatus) {
    FUi.SetStatusText(1, LinkStatusPanelText(FRecords.FEthStatus));
    FUi.SetStatusText(2, IpPanelText(FRecords.FEthStatus));
    FUi.SetStatusText(3, MacPanelText(FRecords.FEthStatus));
  }
  SendRequest(step.next, CmdRead, step.nextObjectId);
}

void TExchangeSequencer::AcceptWriteStep(ByteView payload) {
  const TWriteStep& step = *FindWriteStep(FState);
  // The module acknowledges with one result byte; a missing byte leaves 0, a refusal.
  std::uint8_t result = 0;
  if (!ParseReply(CmdReply, step.objectId, std::span<std::uint8_t>(&result, 1), payload)) {
    return;
  }
  if (result != 1) {
    FState = msWriteError;
    CloseLink();
    return;
  }
  FTimer.SetEnabled(false);
  FBuffer.clear();
  const auto done = std::find(FStates.begin(), FStates.end(), FState);
  if (done != FStates.end()) {
    FStates.erase(done);
  }
  if (!FStates.empty()) {
    SendWriteStep(FStates.front());
  } else {
    CloseLink();
  }
}

void TExchangeSequencer::AcceptFactoryReset(ByteView payload) {
  std::uint8_t result = 0;
  if (!ParseReply(CmdReply, ObjFactorySettings, std::span<std::uint8_t>(&result, 1), payload)) {
    return;
  }
  if (result == 1) {
    FTimer.SetEnabled(false);
    FBuffer.clear();
  } else {
    FState = msWriteError;
  }
  CloseLink();
}

void TExchangeSequencer::tmMainTimer() {
  FTimer.SetEnabled(false);
  ++FWait;
  if (FWait < 5) {
    FTimer.SetEnabled(true);
    return;
  }
  FUi.ResetCursor();
  FState = msTimeOutError;
  CloseLink();
}

void TExchangeSequencer::acpCOMPortPortClose() {
  // The exchange is over once this handler ends, also when the editor refuses the records.
  struct TBusyEnd {
    TExchangeSequencer& self;
    ~TBusyEnd() {
      self.FBusy = false;
      self.FLocked = false;
    }
  } busyEnd{*this};

  FWait = 0;
  FTimer.SetEnabled(false);
  FUi.SetStatusText(4, texts::kPanelDisconnected);
  FUi.UnlockControls();
  FBuffer.clear();
  FUi.RestoreCursor();
  ReportOutcome();
  FState = msNone;
}

void TExchangeSequencer::ReportOutcome() {
  switch (FState) {
    case msReadToken:
      FUi.RecordsToEditor();
      FUi.ShowInformation(texts::kReadDone);
      break;
    case msWriteLoginPassword:
      FUi.ShowInformation(texts::kWriteDone);
      break;
    case msFactorySettings:
      FUi.ShowInformation(texts::kFactoryDone);
      break;
    case msWriteError:
      FUi.ShowError(texts::kWriteError);
      break;
    case msTimeOutError:
      FUi.ShowError(texts::kNoResponse);
      break;
    default:
      break;
  }
}

}  // namespace ethconf
