#pragma once
// Runs the read, write and factory-reset exchanges with the module: one request outstanding at
// a time, driven only by the port's opened, data and closed events and the reply timer's ticks.

#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/byte_string.h"
#include "protocol/device_records.h"
#include "protocol/machine_state.h"
#include "protocol/sequencer_ports.h"

namespace ethconf {

class TExchangeSequencer {
 public:
  // The records are lent by the owner and must outlive the sequencer. The constructor binds the
  // port's events to the handlers below.
  TExchangeSequencer(TDeviceRecords& records, ISerialPort& port, IReplyTimer& timer,
                     ISequencerUi& ui);
  // Unbinds the port's events; the owner closes the port first.
  ~TExchangeSequencer();
  TExchangeSequencer(const TExchangeSequencer&) = delete;
  TExchangeSequencer& operator=(const TExchangeSequencer&) = delete;

  // Command preparations; each is followed by OpenLink. The caller checks Busy() first: a
  // preparation changes the state of a running exchange.
  void PrepareRead();
  // Empties FStates, lets fill take the editor into the records and queue the write states
  // (EditorToRecords), then enters the first queued state. When fill queues nothing the state
  // stays msNone and there is nothing to open the port for.
  void PrepareWrite(const std::function<void(std::vector<TMachineState>& states)>& fill);
  void PrepareFactoryReset();

  // Opens the port and starts the exchange the preparation selected. Does nothing when no
  // exchange is prepared (State() is not msReadVersion, msFactorySettings or a write step).
  void OpenLink(int port);
  void CloseLink();

  void SendRequest(TMachineState state, std::uint8_t code, std::uint8_t objectId,
                   ByteView data = {});
  void SendWriteStep(TMachineState state);

  // Event handlers.
  void acpCOMPortPortOpen();
  void acpCOMPortTriggerAvail(std::uint16_t count);
  void tmMainTimer();
  void acpCOMPortPortClose();

  TMachineState State() const { return FState; }
  // The pending write states; EditorToRecords appends to it.
  std::vector<TMachineState>& States() { return FStates; }
  const ByteString& Buffer() const { return FBuffer; }
  std::int32_t Wait() const { return FWait; }
  // True from the start of OpenLink until the exchange has ended (closed event or failed open).
  bool Busy() const { return FBusy; }

 private:
  TDeviceRecords& FRecords;
  ISerialPort& FPort;
  IReplyTimer& FTimer;
  ISequencerUi& FUi;

  TMachineState FState = msNone;
  std::vector<TMachineState> FStates;
  ByteString FBuffer;
  std::int32_t FWait = 0;
  ByteString Data;
  bool FBusy = false;
  // Set once the opened event has locked the controls, so a failing open can unlock them.
  bool FLocked = false;

  void OnReply(ByteView payload);
  void AcceptReadStep(ByteView payload);
  void AcceptWriteStep(ByteView payload);
  void AcceptFactoryReset(ByteView payload);
  void ReportOutcome();
};

}  // namespace ethconf
