#pragma once
// The eight device records of one module, kept together by their owner and lent to the
// sequencer, the editor mapping and the file commands.

#include "protocol/records.h"

namespace ethconf {

struct TDeviceRecords {
  TEthVersion FEthVersion;
  TEthStatus FEthStatus;
  TEthConfig FEthConfig;
  TEthToken FEthToken;
  TEthREST FEthREST;
  TEthPeriod FEthPeriod;
  TEthNTP FEthNTP;
  TEthPassword FEthPassword;
  friend bool operator==(const TDeviceRecords&, const TDeviceRecords&) = default;
};

}  // namespace ethconf
